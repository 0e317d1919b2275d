#pragma once
// A source probe for the exchange tests: facts per path, a failure code for
// the rest, and a log of every call.
#include <map>
#include <string>
#include <vector>

#include "scene/source_check.h"

namespace klemora::test {

class FakeProbe : public scene::SourceProbe {
public:
    // Facts for `path`; paths never named fail with failureCode.
    scene::SourceFacts& facts(const std::string& path) {
        scene::SourceFacts& f = m_facts[path];
        if (f.frameCount == 0) f.frameCount = 1000;
        return f;
    }
    int failureCode = -5;
    bool succeedForAll = false;  // unnamed paths get default facts instead

    int probe(const std::string& path, scene::SourceFacts& out) override {
        calls.push_back(path);
        auto it = m_facts.find(path);
        if (it != m_facts.end()) {
            out = it->second;
            return 1;
        }
        if (!succeedForAll) return failureCode;
        out = scene::SourceFacts{};
        out.frameCount = 1000;
        return 1;
    }
    std::vector<std::string> calls;

private:
    std::map<std::string, scene::SourceFacts> m_facts;
};

}  // namespace klemora::test
