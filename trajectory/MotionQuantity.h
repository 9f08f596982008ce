// The quantities of a motion that its preview draws and a drive's limits bound.
#pragma once

enum class MotionQuantity { Position, Speed, Acceleration, Jerk };
