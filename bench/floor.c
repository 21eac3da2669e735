/* The least a listing can cost: open a D88 image, read it, decode the root directory's
 * sectors and print one line per entry. The CLI benchmark measures darvex-cli against it. */
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kHeaderBytes = 0x2B0, kTrackTable = 0x20, kRecHeader = 16, kSector = 256 };

static uint32_t u32le(const unsigned char* p) {
    return p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: floor IMAGE.d88\n");
        return 2;
    }
    int fd = open(argv[1], O_RDONLY);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || st.st_size < kHeaderBytes)
        return 1;
    unsigned char* file = malloc((size_t)st.st_size);
    if (!file || read(fd, file, (size_t)st.st_size) != st.st_size)
        return 1;
    close(fd);

    /* Logical sectors 16..31 are cylinder 0, head 0: the first track of the table. */
    unsigned char dir[16 * kSector] = {0};
    size_t at = u32le(file + kTrackTable);
    for (int i = 0; i < 16 && at + kRecHeader + kSector <= (size_t)st.st_size; ++i) {
        int rec = file[at + 2];
        if (rec >= 1 && rec <= 16)
            for (int b = 0; b < kSector; ++b)
                dir[(rec - 1) * kSector + b] = (unsigned char)~file[at + kRecHeader + b];
        at += kRecHeader + ((size_t)128 << (file[at + 3] & 7));
    }
    for (int e = 0; e < 64; ++e) {
        const unsigned char* d = dir + e * 32;
        char name[18];
        int n = 0;
        while (n < 17 && d[1 + n] != 0x0D) {
            name[n] = (char)d[1 + n];
            ++n;
        }
        name[n] = 0;
        printf("%02X %-17s %5u %04X %04X\n", d[0], name, d[0x14] | d[0x15] << 8,
               d[0x16] | d[0x17] << 8, d[0x18] | d[0x19] << 8);
    }
    free(file);
    return 0;
}
