#include <iostream>

int main() {
    std::cerr << "Kestrel: the program is being assembled.\n";
    return 0;
}
