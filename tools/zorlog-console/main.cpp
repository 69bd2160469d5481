#include "tools/zorlog-console/zorlog_console.h"

int main(int argc, char** argv) { return zorlog_console::Run(std::vector<std::string>(argv + 1, argv + argc)); }
