//===- DcBackend.cpp - The backend interface's out-of-line parts -----------===//
#include "platform/gdi/DcBackend_p.h"

DcBackend::~DcBackend() = default;
