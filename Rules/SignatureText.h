// The signature that marks a script as one for this installer: "KELVOR" in [Version] FormKv.
#pragma once
#include "Rules/Capacities.h"   // SignatureSize: how much of FormKv is read

// 1-based position of "KELVOR" in Value after upper-casing its ASCII letters; 0 when absent.
int SignaturePosition(const char* Value);
