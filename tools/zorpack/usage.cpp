#include "tools/zorpack/usage.h"

namespace zorpack {

void PrintUsage(std::ostream& out) {
    out << "Usage:\n"
           "  zorpack build -o SETUP --name NAME --version VERSION [options] FILE...\n"
           "  zorpack list [-v] SETUP\n"
           "  zorpack verify [-v] SETUP\n"
           "  zorpack extract [-v] SETUP DIRECTORY\n"
           "  zorpack --version\n"
           "\n"
           "build writes the installer SETUP holding the FILEs; the first FILE is the\n"
           "application's main executable. @LIST reads file names from LIST, one a line\n"
           "(UTF-8; blank lines and lines starting with # are ignored).\n"
           "  -o, --output SETUP     the installer to write\n"
           "  --name NAME            application name shown to the user\n"
           "  --version VERSION      application version shown to the user\n"
           "  --shortcut NAME        base name of the shortcuts (default: the application name)\n"
           "  --windows \"T1;T2\"      window titles that identify a running instance\n"
           "  --store                store the files as they are, without compressing them\n"
           "  --option NAME=STATE    how the installer offers one option; NAME is all-users,\n"
           "                         start-after, desktop, quick-launch or startup; STATE is\n"
           "                         off (hidden, unchecked), on (hidden, checked),\n"
           "                         ask (shown, unchecked) or ask-checked (shown, checked)\n"
           "  --options 0xHEX        the whole options word, before any --option and --store\n"
           "                         (default 0x01FF0002)\n"
           "  --allow-duplicates     accept two files with the same name\n"
           "  --stub FILE            the extractor image to use instead of the built-in one\n"
           "\n"
           "list shows the installer's application, shortcut, window titles, options and files;\n"
           "verify checks every file against its digest without writing any; extract writes\n"
           "the files into DIRECTORY, creating it when needed.\n"
           "  -v, --verbose          print every progress line\n"
           "  -h, --help             print this text\n"
           "\n"
           "Exit codes: 0 success, 1 failure, 2 bad command line.\n";
}

} // namespace zorpack
