#include "output/output_file.h"

namespace klemora::output {

namespace {

constexpr std::string_view kPrefix = "new_avi-";
constexpr std::string_view kSuffix = ".tmp";

}  // namespace

TemporaryOutput::TemporaryOutput(std::string destination)
    : m_file(std::move(destination), std::string(kPrefix), std::string(kSuffix)) {}

bool TemporaryOutput::create() {
    // What a killed write left here goes first; a running one keeps its file.
    app::removeAbandonedTemporaries(app::directoryOf(m_file.destination()), kPrefix, kSuffix);
    return m_file.open();
}

bool TemporaryOutput::commit() { return m_file.commit(); }

void TemporaryOutput::remove() { m_file.abandon(); }

}  // namespace klemora::output
