#pragma once

#include <QString>
#include <QTemporaryDir>

#include <cstdint>

// A small file system of its own (tmpfs mounted on a fresh folder, which needs
// root) that a test can fill to the brim; unmounted and removed afterwards.
class SmallDisk {
public:
    explicit SmallDisk(int64_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // False when it could not be mounted (not root, no tmpfs): skip the test then.
    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    // Takes all the free room but `leaveBytes` with a file "filler"; the room
    // left, which may be a page more than asked for.
    int64_t fill(int64_t leaveBytes);
    // Removes the filler.
    void empty();
    int64_t freeBytes() const;

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};
