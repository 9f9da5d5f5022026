#pragma once
// A growable byte buffer with a cheap take-from-the-front operation: link receive queues,
// frame assembly, script text and packed digit strings. Sizes are signed 32-bit.
//
// Growth reserves a quarter of the current size beyond the requested size, so appending
// byte by byte reallocates only logarithmically often. PopFront only moves the start of
// the content; the consumed bytes are given back (by compaction) once more than
// CompactAfter of them have piled up, so draining a queue byte by byte copies what is
// still queued at most once per that many bytes taken (cheap for link-sized queues; a
// queue of a megabyte spends most of its drain time in these copies).
#include <cstdint>
#include <memory>

class cmcBuff {
public:
    // Bytes consumed from the front after which PopFront compacts the storage.
    static constexpr int CompactAfter = 4096;

    cmcBuff();
    cmcBuff(const cmcBuff& other);
    cmcBuff& operator=(const cmcBuff& other);
    ~cmcBuff() = default;

    // Back to a fresh 1-byte storage holding nothing.
    void Clear();
    // Size becomes n (a negative n counts as 0); returns the new size. Growing beyond the
    // capacity moves the content to a new storage whose extra bytes are 0; shrinking keeps
    // the storage, and growing again within it shows the bytes that were there before.
    int Resize(int n);
    [[nodiscard]] int Size() const { return size_; }
    // Bytes available from Data() to the end of the storage.
    [[nodiscard]] int Capacity() const { return capacity_; }
    // Bytes already taken from the front that still occupy the storage.
    [[nodiscard]] int Consumed() const { return static_cast<int>(data_ - storage_.get()); }
    [[nodiscard]] std::uint8_t* Data() { return data_; }
    [[nodiscard]] const std::uint8_t* Data() const { return data_; }
    // Element i, which must lie below Size(): any other index stops the program.
    [[nodiscard]] std::uint8_t* At(int i);
    [[nodiscard]] const std::uint8_t* At(int i) const;

    // Content becomes the n bytes at src (which may lie inside this buffer).
    void Assign(const std::uint8_t* src, int n);
    void Assign(const cmcBuff& other);
    // The n bytes at src (which may lie inside this buffer) added after the content.
    void Append(const std::uint8_t* src, int n);
    void Append(const cmcBuff& other);
    void AppendByte(std::uint8_t v);
    void AppendFill(std::uint8_t v, int n);
    void FillAll(std::uint8_t v);

    // The first byte as 0 to 255, removed from the content; -1 when empty.
    int PopFront();
    // Moves the content to the start of a storage of exactly max(size, 1) bytes.
    void Compact();

private:
    // Resize for a copy from src: any storage the growth replaces is handed back rather
    // than released, so src stays readable until the copy is done.
    std::unique_ptr<std::uint8_t[]> resizeKeepingOld(int n);

    std::unique_ptr<std::uint8_t[]> storage_;
    std::uint8_t* data_ = nullptr; // first content byte, inside storage_
    int size_ = 0;
    int capacity_ = 0; // from data_ to the end of storage_
};
