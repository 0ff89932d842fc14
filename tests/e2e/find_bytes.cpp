// A helper of the end-to-end tests, for looking into what SDL's disk audio driver wrote:
//   find_bytes contains SOURCE OFFSET LENGTH FILE   exit 0 when SOURCE's bytes OFFSET..+LENGTH occur in FILE
//   find_bytes zeros FILE FROM                      exit 0 when FILE has bytes after FROM, all zero
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
std::vector<char> slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "contains") == 0) {
        std::vector<char> source = slurp(argv[2]), file = slurp(argv[5]);
        size_t offset = std::strtoul(argv[3], nullptr, 10), length = std::strtoul(argv[4], nullptr, 10);
        if (offset + length > source.size()) {
            return 2;
        }
        auto found = std::search(file.begin(), file.end(), source.begin() + long(offset),
                                 source.begin() + long(offset + length));
        if (found == file.end()) {
            return 1;
        }
        std::printf("%ld\n", long(found - file.begin()));
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "zeros") == 0) {
        std::vector<char> file = slurp(argv[2]);
        size_t from = std::strtoul(argv[3], nullptr, 10);
        if (file.size() <= from) {
            return 2;
        }
        return std::all_of(file.begin() + long(from), file.end(), [](char c) { return c == 0; }) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: find_bytes contains SOURCE OFFSET LENGTH FILE | zeros FILE FROM\n");
    return 2;
}
