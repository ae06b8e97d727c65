#include "failure_text.h"

namespace objseq {

std::string FileErrorWords(int32_t code) {
  switch (code) {
    case -1:
      return "cannot open";
    case -2:
      return "cannot close";
    case -3:
      return "cannot read";
    case -4:
      return "cannot write";
    case -5:
      return "cannot seek in";
    case -6:
      return "invalid file operation on";
    case -7:
      return "out of memory while exporting";
    case -8:
      return "export cancelled at";
    default:
      return "file error on";
  }
}

std::string DescribeFileFailure(const quorhost::FileFailure& failure) {
  std::string line = FileErrorWords(failure.code) + " " + failure.path;
  if (!failure.reason.empty()) line += ": " + failure.reason;
  line += " (file error " + std::to_string(failure.code) + ")";
  return line;
}

}  // namespace objseq
