#pragma once

#include <windows.h>

#include <cstddef>

namespace orvella::driver {

// Memory in the process of another program's window. Messages whose parameters point to data reach another
// process with the pointer unchanged, so the data goes through memory of the receiving process.
class RemoteBuffer {
public:
    // Throws ScenarioStopped when the window's process cannot be reached.
    RemoteBuffer(HWND window, std::size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    // The address at the offset, in the other process.
    char* at(std::size_t offset = 0) const { return memory_ + offset; }
    LPARAM lParam(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(at(offset)); }
    void put(const void* data, std::size_t size, std::size_t offset = 0) const;
    void get(void* data, std::size_t size, std::size_t offset = 0) const;

private:
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
};

} // namespace orvella::driver
