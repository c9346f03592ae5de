// The macro preprocessor stand-in: "macro -e- -L -q -d <source>" writes
// "<source stem>.mpp" beside the source. The first line names the module and
// every source line follows its own line marker, so that the assembler's
// listing and messages can be traced back to the source file and line.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

int usage()
{
    std::fprintf(stderr, "Usage: macro [options] <source>\n");
    return 2;
}

// Written beside the final name and renamed into place, so a failed run
// never leaves a partial ".mpp".
bool preprocess(const fs::path& source, const fs::path& output)
{
    std::ifstream input(source, std::ios::binary);
    if (!input)
        return false;
    const fs::path partial = output.string() + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out << "$BEGIN_MODULE(" << source.stem().string() << ")\n";
        std::string line;
        for (int number = 1; std::getline(input, line); ++number) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            out << ";LINE(" << number << ")\n" << line << '\n';
        }
        out.flush();
        if (input.bad() || !out) {
            out.close();
            std::error_code ignored;
            fs::remove(partial, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(partial, output, error);
    if (!error)
        return true;
    fs::remove(partial, error);
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    for (int i = 1; i < argc - 1; ++i) {
        if (argv[i][0] != '-')
            return usage();
    }
    const fs::path source = argv[argc - 1];
    if (source.empty() || source.c_str()[0] == '-')
        return usage();
    fs::path output = source;
    output.replace_extension(".mpp");
    std::error_code ignored;
    fs::remove(output, ignored);
    if (fs::is_directory(source, ignored) || !preprocess(source, output)) {
        std::fprintf(stderr, "%s: Unable to read source file.\n", source.c_str());
        return 1;
    }
    return 0;
}
