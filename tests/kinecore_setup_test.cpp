#include <DriveSetup.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// The message for a setup text, or "" when it loads.
std::string ErrorOf(const std::string& text) {
    CString error;
    auto setup = CDriveSetup::LoadFromText(text, "setup.ini", error);
    EXPECT_EQ(setup == nullptr, !error.IsEmpty());
    return error.GetString();
}

TEST(CDriveSetup, DefaultSetupIsTheRotaryDriveExample) {
    EXPECT_EQ(ReadFile("examples/setups/rotary-drive.ini"), CDriveSetup::DefaultSetupText());
    auto setup = CDriveSetup::CreateDefault();
    EXPECT_STREQ(setup->GetName(), "Rotary drive, 500-line encoder");
    EXPECT_FALSE(setup->IsMotionController());
    EXPECT_EQ(setup->GetIntOption("IsClosedPosition"), 1);
    EXPECT_EQ(setup->GetIntOption("NoSuchOption"), 0);
    for (const char* name : {"PVTBUFBEGIN", "PVTBUFLEN", "MASTERID"}) {
        ASSERT_NE(setup->FindVariable(name, 1), nullptr) << name;
        EXPECT_EQ(setup->FindVariable(name, 1)->GetType(), VAR_INT);
    }
    EXPECT_EQ(setup->FindVariable("TPOS", 1)->GetType(), VAR_LONG);
    EXPECT_EQ(setup->FindVariable("ATIME", 1)->GetType(), VAR_LONG);
    EXPECT_EQ(setup->FindVariable("tpos", 1), nullptr);
    EXPECT_EQ(setup->FindVariable("TPOS", 0), nullptr);

    const auto& position = setup->GetUnits(UnitKind::Position);
    ASSERT_EQ(position.size(), 4u);
    EXPECT_EQ(position[0].name, "rot");
    EXPECT_EQ(position[0].iuPerUnit, 2000.0);
    EXPECT_EQ(position[2].iuPerUnit, 2000.0 / 360);
    EXPECT_EQ(position[3].iuPerUnit, 2000.0 / 6.283185307179586);
    const auto& time = setup->GetUnits(UnitKind::Time);
    ASSERT_EQ(time.size(), 3u);
    EXPECT_EQ(time[0].name, "s");
    EXPECT_EQ(time[2].iuPerUnit, 1.25);
}

TEST(CDriveSetup, ExampleFilesLoadWithTheirDifferences) {
    CString error;
    auto controller = CDriveSetup::LoadFromFile("examples/setups/motion-controller.ini", error);
    ASSERT_TRUE(controller) << error.GetString();
    EXPECT_TRUE(controller->IsMotionController());

    auto openLoop = CDriveSetup::LoadFromFile("examples/setups/open-loop-drive.ini", error);
    ASSERT_TRUE(openLoop) << error.GetString();
    EXPECT_EQ(openLoop->GetIntOption("IsClosedPosition"), 0);

    auto noAtime = CDriveSetup::LoadFromFile("examples/setups/drive-without-atime.ini", error);
    ASSERT_TRUE(noAtime) << error.GetString();
    EXPECT_EQ(noAtime->FindVariable("ATIME", 1), nullptr);
    EXPECT_NE(noAtime->FindVariable("TPOS", 1), nullptr);

    auto linear = CDriveSetup::LoadFromFile("examples/setups/linear-drive.ini", error);
    ASSERT_TRUE(linear) << error.GetString();
    EXPECT_EQ(linear->GetUnits(UnitKind::Position)[0].name, "mm");
    EXPECT_EQ(linear->GetUnits(UnitKind::Position)[0].iuPerUnit, 800.0);
}

TEST(CDriveSetup, SetupWithoutUnitsHasInternalUnitsOnly) {
    CString error;
    auto setup =
        CDriveSetup::LoadFromText("[Setup]\r\nName=Bare\r\n[TimeUnits]\r\n", "bare", error);
    ASSERT_TRUE(setup) << error.GetString();
    EXPECT_STREQ(setup->GetName(), "Bare");
    for (UnitKind kind : {UnitKind::Position, UnitKind::Time}) {
        ASSERT_EQ(setup->GetUnits(kind).size(), 1u);
        EXPECT_EQ(setup->GetUnits(kind)[0].name, "IU");
    }
    EXPECT_EQ(CDriveSetup().GetUnits(UnitKind::Time).size(), 1u);
}

TEST(CDriveSetup, FaultsNameTheFileAndTheLine) {
    const std::string head = "; a comment\n[Setup]\nName=x\n";
    const std::pair<std::string, std::string> cases[] = {
        {head + "[Variables]\nTPOS=long\nPVTBUFLEN=float\n",
         "setup.ini:6: unknown variable type \"float\" for PVTBUFLEN."},
        {head + "[Extras]\n", "setup.ini:4: unknown section [Extras]."},
        {head + "Colour=red\n", "setup.ini:4: unknown key \"Colour\" in [Setup]."},
        {head + "MotionController=2\n", "setup.ini:4: MotionController must be 0 or 1, not \"2\"."},
        {head + "Name=y\n", "setup.ini:4: duplicate key \"Name\" in [Setup]."},
        {"[Options]\nIsClosedPosition=1x\n",
         "setup.ini:2: \"1x\" is not a whole number for IsClosedPosition."},
        {"[Options]\nA=1\nA=2\n", "setup.ini:3: duplicate option \"A\"."},
        {"[Variables]\nTPOS=long\nTPOS=int\n", "setup.ini:3: duplicate variable \"TPOS\"."},
        {"[PositionUnits]\nrot=2000\nrot=1\n", "setup.ini:3: duplicate unit \"rot\"."},
        {"[PositionUnits]\ndeg=abc\n", "setup.ini:2: \"abc\" is not a number for unit \"deg\"."},
        {"[PositionUnits]\ndeg=nan\n", "setup.ini:2: \"nan\" is not a number for unit \"deg\"."},
        {"[PositionUnits]\ndeg=2000/\n",
         "setup.ini:2: \"2000/\" is not a number or a fraction for unit \"deg\"."},
        {"[TimeUnits]\nms=1/0\n",
         "setup.ini:2: the fraction \"1/0\" of unit \"ms\" divides by zero."},
        {"[TimeUnits]\nms=-1.25\n",
         "setup.ini:2: the factor \"-1.25\" of unit \"ms\" is not a positive number."},
        {"[TimeUnits]\nms=0/5\n",
         "setup.ini:2: the factor \"0/5\" of unit \"ms\" is not a positive number."},
        {"[TimeUnits]\nm s=1\n",
         "setup.ini:2: the unit name \"m s\" must not hold blanks or brackets."},
        {"Name=x\n", "setup.ini:1: \"Name=x\" stands before the first [section]."},
        {"[Setup\n", "setup.ini:1: \"[Setup\" lacks the closing bracket."},
        {"[Options]\nIsClosedPosition\n",
         "setup.ini:2: \"IsClosedPosition\" is neither a [section] nor a name=value entry."},
        {"[Options]\n=1\n", "setup.ini:2: \"=1\" has no name before \"=\"."},
        {"[Options]\r\n\r\n# x\r\n  A = 3  \r\n", ""},
    };
    for (const auto& [text, message] : cases) EXPECT_EQ(ErrorOf(text), message) << text;
}

// Whatever a message quotes is cut to 60 characters, so that a huge line gives a short message.
TEST(CDriveSetup, LongTextsAreCutInEveryMessage) {
    const std::string x(100000, 'x');
    const std::string faults[] = {
        "[" + x + "]\n",
        "[" + x + "\n",
        x + "\n",
        "[Setup]\n=" + x + "\n",
        "[Setup]\n" + x + "=1\n",
        "[Setup]\nMotionController=" + x + "\n",
        "[Options]\n" + x + "=1\n[Options]\n" + x + "=2\n",
        "[Options]\nA=" + x + "\n",
        "[Variables]\n" + x + "=" + x + "\n",
        "[PositionUnits]\n" + x + "=1\n",
        "[PositionUnits]\n" + x + " y=1\n",
        "[PositionUnits]\nrot=" + x + "\n",
        "[PositionUnits]\nrot=1/" + x + "\n",
        "[PositionUnits]\nrot=0/" + x + "\n",
    };
    for (const std::string& text : faults) {
        const std::string error = ErrorOf(text);
        EXPECT_LE(error.size(), 200u) << error.substr(0, 300);
        EXPECT_NE(error.find("xxx..."), std::string::npos) << error.substr(0, 300);
    }
}

TEST(CDriveSetup, UnitNamesOfAtMost32Characters) {
    const std::string longest(32, 'u');
    EXPECT_EQ(ErrorOf("[TimeUnits]\n" + longest + "=1\n"), "");
    EXPECT_EQ(ErrorOf("[TimeUnits]\n" + longest + "v=1\n"),
              "setup.ini:2: the unit name \"" + longest + "v\" is longer than 32 characters.");
}

TEST(CDriveSetup, FileFaultsNameTheFile) {
    CString error;
    EXPECT_FALSE(CDriveSetup::LoadFromFile("no/such/setup.ini", error));
    EXPECT_EQ(error,
              "no/such/setup.ini: the setup file cannot be opened (No such file or directory).");

    EXPECT_FALSE(CDriveSetup::LoadFromFile("examples/setups", error));
    EXPECT_EQ(error, "examples/setups: the setup file cannot be read (Is a directory).");

    const std::string path = testing::TempDir() + "kinecore_bad_setup.ini";
    std::ofstream(path) << "[Setup]\nName=Broken\n[TimeUnits]\ns=1250\nms=1.25/0\n";
    EXPECT_FALSE(CDriveSetup::LoadFromFile(path.c_str(), error));
    EXPECT_EQ(error, path + ":5: the fraction \"1.25/0\" of unit \"ms\" divides by zero.");
    std::remove(path.c_str());
}

}  // namespace
