#include "host/Fd.h"

#include <unistd.h>

Fd::~Fd() {
    if (m_fd >= 0)
        close(m_fd);
}

void Fd::reset(int fd) {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = fd;
}

bool Fd::CloseChecked() {
    const int fd = m_fd;
    m_fd = -1;
    return close(fd) == 0;
}
