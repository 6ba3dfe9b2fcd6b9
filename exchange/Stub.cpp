// Placeholder until the sample text formats land: sample files are not readable yet.
#include <stdexcept>

#include "SD.h"

std::int32_t TSampleData::LoadFromFile(const std::string&) {
  throw std::runtime_error("sample files are not supported yet");
}
void TSampleData::SaveToFile(const std::string&) const {
  throw std::runtime_error("sample files are not supported yet");
}
