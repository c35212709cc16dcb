// Writes kestrel(1) to the file named by its argument; the build runs it to
// make the installed manual page from the parameter table the program itself
// uses for --help.
#include <fstream>
#include <iostream>

#include "app/manual_page.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kestrel_manual_page OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << kestrel::app::ManualPage();
    return out.flush() ? 0 : 1;
}
