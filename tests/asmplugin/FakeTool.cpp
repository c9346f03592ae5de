// A tool whose behaviour the test writes into "<program path>.script", one
// command a line:
//   log <file>        append "cwd=<folder>" and one "arg=<argument>" per argument
//   out <text>        write the text and a line end to standard output
//   err <text>        write the text and a line end to standard error
//   bytes <n>         write n letters to standard output
//   copy <suffix> <file>  copy the file to "<stem of the last argument><suffix>" here
//   touch <suffix>    create "<stem of the last argument><suffix>" here
//   sleep <ms>
//   exit <code>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    std::ifstream script(std::string(argv[0]) + ".script");
    const std::string stem = argc > 1 ? fs::path(argv[argc - 1]).stem().string() : "out";
    std::string line;
    while (std::getline(script, line)) {
        const auto blank = line.find(' ');
        const std::string command = line.substr(0, blank);
        const std::string argument = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (command == "log") {
            std::ofstream log(argument, std::ios::app);
            log << "cwd=" << fs::current_path().string() << '\n';
            for (int i = 1; i < argc; ++i)
                log << "arg=" << argv[i] << '\n';
        } else if (command == "out") {
            std::cout << argument << '\n' << std::flush;
        } else if (command == "err") {
            std::cerr << argument << '\n' << std::flush;
        } else if (command == "bytes") {
            const long count = std::atol(argument.c_str());
            std::string block;
            for (long i = 0; i < count; ++i)
                block += static_cast<char>('a' + i % 26);
            std::cout << block << std::flush;
        } else if (command == "copy") {
            const auto blank = argument.find(' ');
            fs::copy_file(argument.substr(blank + 1), stem + argument.substr(0, blank),
                          fs::copy_options::overwrite_existing);
        } else if (command == "touch") {
            std::ofstream(stem + argument) << ":00000001FF\n";
        } else if (command == "sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argument.c_str())));
        } else if (command == "exit") {
            return std::atoi(argument.c_str());
        }
    }
    return 0;
}
