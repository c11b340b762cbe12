// Writes this build's CP932 table (see Cp932AnswerTable.h) to a file: make_cp932_table OUT
#include "platform/Cp932AnswerTable.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_cp932_table OUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    for (const auto& line : rovik::test::cp932TableLines())
        out << line << '\n';
    out.close();
    if (!out) {
        std::cerr << "make_cp932_table: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
