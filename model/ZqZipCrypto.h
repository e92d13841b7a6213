#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Traditional zip encryption: the three-key stream cipher of the zip format, shared
// by the archive reader and the data writer. One object is the key state of one
// member's stream: construct it with the password, then pass the 12-byte encryption
// header and the member's bytes through it in order.
class ZqZipCrypto {
public:
    // Bytes in front of every encrypted member; the last one is the check byte.
    static constexpr size_t kHeaderSize = 12;

    // password: the zip password's bytes as given (no terminator is needed or used).
    explicit ZqZipCrypto(std::string_view password);

    // In place; data may be null when size is 0.
    void decrypt(unsigned char* data, size_t size);
    void encrypt(unsigned char* data, size_t size);

private:
    unsigned char keyStreamByte() const;
    void updateKeys(unsigned char plain);

    uint32_t keys_[3];
};
