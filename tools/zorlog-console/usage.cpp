#include "tools/zorlog-console/usage.h"

namespace zorlog_console {

std::string UsageText() {
    return "Usage: zorlog-console [options]\n"
           "\n"
           "Receives the log records that programs send with UDPConsoleAppender or\n"
           "UDPConsoleColorAppender and prints each datagram to standard output as it\n"
           "arrives, byte for byte: colours pass through to the terminal, line ends stay\n"
           "CR LF as sent. Where it listens is reported on standard error.\n"
           "\n"
           "  -p, --port N        UDP port to listen on (default 4884); 0 takes any free\n"
           "                      port, reported on standard error\n"
           "  -b, --bind ADDRESS  local address to listen on, dotted IPv4 or a host name\n"
           "                      (default 127.0.0.1: this computer's programs only;\n"
           "                      0.0.0.0 listens on every network interface)\n"
           "      --no-color      remove terminal escape sequences (colours, screen\n"
           "                      clearing) from what is printed\n"
           "  -n, --count N       end after printing N datagrams\n"
           "  -h, --help          print this text\n"
           "\n"
           "Ctrl-C ends the program, resetting the terminal's colour first and\n"
           "reporting on standard error how many datagrams came.\n"
           "\n"
           "Exit codes: 0 ended by Ctrl-C (or SIGTERM) or after --count datagrams;\n"
           "1 cannot listen (port in use, unknown address), receive or write;\n"
           "2 bad command line.\n";
}

} // namespace zorlog_console
