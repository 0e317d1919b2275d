#include "output/output_file.h"

namespace klemora::output {

TemporaryOutput::TemporaryOutput(std::string destination) : m_file(std::move(destination), "new_avi-", ".tmp") {}

bool TemporaryOutput::create() { return m_file.open(); }

bool TemporaryOutput::commit() { return m_file.commit(); }

void TemporaryOutput::remove() { m_file.abandon(); }

}  // namespace klemora::output
