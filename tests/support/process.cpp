#include "tests/support/process.h"

#include "common/path.h"
#include "common/system_info.h"

#include <fstream>
#include <iterator>

std::string ProgramBesideTests(const std::string& name) {
    const std::string extension = GetPathPart(GetModulePath(), kPathExtension);
    return BuildPath(GetModuleDirectory(), name, extension.empty() ? nullptr : extension.c_str());
}

std::string ReadMessages(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    std::erase(text, '\r');
    return text;
}

CapturedRun RunCaptured(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& scratchDirectory) {
    const std::string outPath = BuildPath(scratchDirectory, "captured", "out");
    const std::string errPath = BuildPath(scratchDirectory, "captured", "err");
    CapturedRun run;
    {
        ChildProcess child;
        if (!child.Start(program, arguments, outPath, errPath)) return run;
        run.exitCode = child.Wait();
    }
    run.out = ReadMessages(outPath);
    run.err = ReadMessages(errPath);
    return run;
}
