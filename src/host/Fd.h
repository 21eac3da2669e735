#pragma once

// A file descriptor closed when the object goes.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return m_fd; }
    void reset(int fd);
    // Closes now and says whether close succeeded (a written file's last error shows there).
    bool CloseChecked();

private:
    int m_fd;
};
