//===- DcBackend.cpp - The backend interface's out-of-line parts -----------===//
#include "platform/gdi/dc/DcBackend_p.h"

DcBackend::~DcBackend() = default;
