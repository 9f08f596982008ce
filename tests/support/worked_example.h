// The worked example (examples/worked-example.ptm): the points (0, 0), (2000, 100) and
// (5000, 300) in IU, host address 3, buffer cleared, executed at once, waiting for completion.
#pragma once

// Its program, byte for byte.
inline constexpr char kWorkedExampleProgram[] =
    "  MASTERID = 49; // Set host address to 3\r\n"
    "  SETPT 0xCF00; //Clear PT buffer\r\n"
    "  MODE PT; // Set PT Mode\r\n"
    "  TUM1;//Start from actual value of position reference\r\n"
    "  CPR;\r\n"
    "  PTP 2000L, 100U, 0; //PT(2000[IU], 100[IU])\r\n"
    "  UPD; //Execute immediate\r\n"
    "  PTP 3000L, 200U, 0; //PT(5000[IU],300[IU])\r\n"
    "  !MC; WAIT!; //wait for completion\r\n";
