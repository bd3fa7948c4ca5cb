// Byte streams that documents travel in: a memory stream for pages and
// images, a file stream and a discarding stream for downloads that must not
// be held whole in memory. Positions and sizes are in bytes from 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace lumo {

class TStream {
public:
    virtual ~TStream() = default;

    // Reads at most count bytes from the position; returns the count read.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes at the position, growing the stream; returns the count written.
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual int64_t Size() const = 0;
    virtual int64_t Position() const = 0;
    // Moves the position, clamped to 0..Size().
    virtual void Seek(int64_t position) = 0;
    // Empties the stream: size and position 0.
    virtual void Clear() = 0;
    // Replaces the whole content by bytes; the position ends after them.
    virtual void Assign(std::string&& bytes) {
        Clear();
        Write(bytes);
    }

    size_t Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }

    // The character set the document's sender named for these bytes (an
    // HTTP Content-Type's charset), empty when none was named. It travels
    // with the bytes to whoever reads them; the writer sets and clears it.
    std::string Charset;
};

class TMemoryStream : public TStream {
public:
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    int64_t Position() const override { return static_cast<int64_t>(position_); }
    void Seek(int64_t position) override;
    void Clear() override;
    // Takes the bytes over without copying them.
    void Assign(std::string&& bytes) override;
    using TStream::Write;

    const std::string& Bytes() const { return data_; }

private:
    std::string data_;
    size_t position_ = 0;
};

// Counts what is written and keeps nothing.
class TNullStream : public TStream {
public:
    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void*, size_t count) override;
    int64_t Size() const override { return size_; }
    int64_t Position() const override { return size_; }
    void Seek(int64_t) override {}
    void Clear() override { size_ = 0; }
    using TStream::Write;

private:
    int64_t size_ = 0;
};

// A file opened for writing (created or truncated) or for reading.
class TFileStream : public TStream {
public:
    enum class Mode { Read, Create };
    // Throws lumo::Exception "Cannot open file <name>" when the file cannot be opened.
    TFileStream(std::string_view ansiName, Mode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Size() const override;
    int64_t Position() const override;
    void Seek(int64_t position) override;
    void Clear() override;
    using TStream::Write;

private:
    std::FILE* file_ = nullptr;
};

} // namespace lumo
