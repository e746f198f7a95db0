// testcard OUT.png: writes the damaged test card.
// testcard --repair-config: prints the filter settings that repair it.
#include <cstdio>
#include <cstring>

#include "png_files.h"
#include "test_card.h"

int main(int argc, char **argv) {
    if (argc == 2 && std::strcmp(argv[1], "--repair-config") == 0) {
        std::printf("%s\n", filterhost::kTestCardRepairConfig);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs("usage: testcard OUT.png | testcard --repair-config\n", stderr);
        return 2;
    }
    kantora::Status written = filterhost::WritePng(argv[1], filterhost::MakeTestCard());
    if (!written) {
        std::fprintf(stderr, "testcard: %s\n", written.failure().message.c_str());
        return 1;
    }
    return 0;
}
