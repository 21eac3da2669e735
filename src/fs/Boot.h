#pragma once

#include <vector>

#include "fs/ResultCodes.h"

class DiskImage;

// The boot program's bytes as ExtractBootToBuffer gives them, with the cause of a refusal
// (ExtractBootToBuffer answers every cause with ExtractBootResult::Failed). out is empty
// after a refusal.
ExtractBootCause ExtractBoot(const DiskImage& disk, int format, std::vector<unsigned char>& out);
