#include <iostream>

#include "cli/kesp_scan.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return kesp::runKespScan({argv + 1, argv + argc}, std::cout, std::cerr);
}
