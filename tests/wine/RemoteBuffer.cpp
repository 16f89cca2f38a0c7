#include "RemoteBuffer.h"

#include "DriverWindows.h"

namespace orvella::driver {

RemoteBuffer::RemoteBuffer(HWND window, std::size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_)
        memory_ = static_cast<char*>(
            VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!memory_) {
        if (process_)
            CloseHandle(process_);
        throw ScenarioStopped{"cannot reach the process of another program's window"};
    }
}

RemoteBuffer::~RemoteBuffer() {
    VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

void RemoteBuffer::put(const void* data, std::size_t size, std::size_t offset) const {
    WriteProcessMemory(process_, at(offset), data, size, nullptr);
}

void RemoteBuffer::get(void* data, std::size_t size, std::size_t offset) const {
    ReadProcessMemory(process_, at(offset), data, size, nullptr);
}

} // namespace orvella::driver
