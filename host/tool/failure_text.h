// One-line descriptions of what went wrong in an export, for the user.
#pragma once

#include <cstdint>
#include <string>

#include "quorhost/books.h"

namespace objseq {

// The host's file error code in words: "cannot open", "cannot write", ...; codes without a name
// give "file error".
std::string FileErrorWords(int32_t code);

// "cannot write /x/shot_004.obj: No space left on device (file error -4)".
std::string DescribeFileFailure(const quorhost::FileFailure& failure);

}  // namespace objseq
