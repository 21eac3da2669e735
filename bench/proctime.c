/* Times whole processes: runs a command N times with its output sent to /dev/null and prints
 * the median wall time in microseconds and the largest resident set in KiB. */
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

static int cmp(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: proctime RUNS COMMAND [ARG...]\n");
        return 2;
    }
    int runs = atoi(argv[1]);
    if (runs < 1)
        runs = 1;
    double* us = calloc((size_t)runs, sizeof *us);
    long maxRss = 0;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    for (int i = 0; i < runs; ++i) {
        struct timespec t0, t1;
        clock_gettime(CLOCK_MONOTONIC, &t0);
        pid_t pid;
        if (posix_spawn(&pid, argv[2], &fa, NULL, argv + 2, environ) != 0) {
            perror(argv[2]);
            return 1;
        }
        int status;
        struct rusage ru;
        if (wait4(pid, &status, 0, &ru) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            fprintf(stderr, "proctime: %s failed\n", argv[2]);
            return 1;
        }
        clock_gettime(CLOCK_MONOTONIC, &t1);
        us[i] = (t1.tv_sec - t0.tv_sec) * 1e6 + (t1.tv_nsec - t0.tv_nsec) / 1e3;
        if (ru.ru_maxrss > maxRss)
            maxRss = ru.ru_maxrss;
    }
    qsort(us, (size_t)runs, sizeof *us, cmp);
    printf("%.0f %ld\n", us[runs / 2], maxRss);
    free(us);
    return 0;
}
