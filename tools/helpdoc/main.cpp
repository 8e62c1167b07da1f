// SPDX-License-Identifier: MIT
// Writes the help document, resources/help.rtf, from the paragraph texts in
// HelpText.cpp and the two formula pictures drawn by zarnik_formulas.
//
// Usage: zarnik_helpdoc [formula1.png formula2.png output.rtf]
// (defaults: resources/pictures/formula1.png, resources/pictures/formula2.png,
// resources/help.rtf)

#include "tools/helpdoc/HelpText.h"
#include "tools/helpdoc/RtfWriter.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

int run(const std::string& firstPath, const std::string& secondPath, const std::string& outputPath)
{
    using namespace zarnik::helpdoc;
    const std::vector<Paragraph> paragraphs = helpParagraphs();
    const std::vector<std::string> problems = checkHelpParagraphs(paragraphs);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "zarnik_helpdoc: %s\n", problem.c_str());
    if (!problems.empty())
        return 1;

    std::string document;
    try {
        auto load = [](const std::string& path, TwipSize display) {
            try {
                return makePngPicture(readBinaryFile(path), display);
            } catch (const std::invalid_argument& error) {
                throw std::invalid_argument(path + ": " + error.what());
            }
        };
        const PngPicture first = load(firstPath, kFirstFormulaSize);
        const PngPicture second = load(secondPath, kSecondFormulaSize);
        document = writeHelpRtf(paragraphs, first, second);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zarnik_helpdoc: %s\n", error.what());
        return 1;
    }

    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    out.write(document.data(), static_cast<std::streamsize>(document.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "zarnik_helpdoc: cannot write %s\n", outputPath.c_str());
        return 1;
    }
    std::printf("%s: %zu paragraphs, %zu bytes\n", outputPath.c_str(), paragraphs.size(), document.size());
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc == 1) {
        return run(ZARNIK_SOURCE_DIR "/resources/pictures/formula1.png",
                   ZARNIK_SOURCE_DIR "/resources/pictures/formula2.png", ZARNIK_SOURCE_DIR "/resources/help.rtf");
    }
    if (argc == 4)
        return run(argv[1], argv[2], argv[3]);
    std::fprintf(stderr, "usage: zarnik_helpdoc [formula1.png formula2.png output.rtf]\n");
    return 2;
}
