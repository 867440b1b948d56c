//===- main.cpp - Heliant: the laser control program ---===//
#include "lasercontrol/Heliant.h"

int main() { return RunHeliant(); }
