#include <iostream>

int main(int argc, char**)
{
    if (argc < 2) {
        std::cerr << "usage: tamisko-tool COMMAND FILE ...\n";
        return 2;
    }
    return 2;
}
