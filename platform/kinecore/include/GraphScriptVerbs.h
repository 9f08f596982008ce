// Script verbs for the host's graph window, so that a script drives a graph as a user would:
//   drag POINT TIME POSITION   moves point POINT of the graph to (TIME, POSITION), in the units
//                              the graph shows, and tells the dialog
//   pick POINT                 clicks point POINT
// Both act on the graph of the dialog in front (its first CGraphWindow child) and stop the
// script when the dialog has none, the graph takes no input or has no such point.
#pragma once

#include <afxheadlessdriver.h>

void RegisterGraphScriptVerbs(CHeadlessDriver& driver);
