//===- main.cpp - Tessaly: the energy statistics program ---===//
#include "energystats/Tessaly.h"

int main() { return RunTessaly(); }
