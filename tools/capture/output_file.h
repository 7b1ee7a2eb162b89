#pragma once
// A file written under a temporary name beside its final one and renamed into
// place by commit(), so a failed or interrupted run never leaves a file that
// looks complete. An uncommitted temporary file is removed with the object.
#include <cstddef>
#include <string>

class cOutputFile {
public:
    explicit cOutputFile(const std::string& path_);
    ~cOutputFile();
    cOutputFile(const cOutputFile&) = delete;
    cOutputFile& operator=(const cOutputFile&) = delete;

    // Creates and removes the temporary file; throws cCaptureError with the
    // system's reason when the place cannot take it.
    void check_writable() const;
    // Writes `size` bytes as the temporary file's whole content; throws with
    // the system's reason (a full disk, a size limit) when any of it, or
    // the close, fails.
    void write(const void* data, size_t size);
    // Renames the temporary file to the final name; throws on failure.
    void commit();

    std::string path;        // final name
    std::string temp;        // name while being written
    bool committed = false;  // renamed into place
};
