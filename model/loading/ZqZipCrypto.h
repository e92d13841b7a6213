#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
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

// WinZip AES encryption of one zip member (AE-1 and AE-2), on OpenSSL's libcrypto.
// A member stores: salt, 2-byte password verifier, the encrypted bytes, and a 10-byte
// authentication code. The AES key, the authentication key and the verifier come from
// PBKDF2-HMAC-SHA1 (1000 iterations) over the password and the salt; the bytes are
// AES in counter mode with a little-endian block counter starting at 1; the code is
// the first 10 bytes of HMAC-SHA1 over the encrypted bytes.
class ZqZipAes {
public:
    static constexpr size_t kVerifierSize = 2;
    static constexpr size_t kAuthCodeSize = 10;
    static constexpr size_t kMaxSaltSize = 16;
    using Verifier = std::array<unsigned char, kVerifierSize>;
    using AuthCode = std::array<unsigned char, kAuthCodeSize>;

    // strength: the 0x9901 extra field's byte, 1 (AES-128), 2 (AES-192) or 3 (AES-256).
    static bool isValidStrength(int strength) { return strength >= 1 && strength <= 3; }
    // 8, 12 or 16 bytes; strength must be valid.
    static size_t saltSize(int strength) { return 4 + 4 * static_cast<size_t>(strength); }

    // salt: saltSize(strength) bytes. Raises std::invalid_argument for a bad strength or
    // salt size and std::runtime_error when libcrypto fails.
    ZqZipAes(std::string_view password, int strength, std::span<const unsigned char> salt);
    ~ZqZipAes();
    ZqZipAes(const ZqZipAes&) = delete;
    ZqZipAes& operator=(const ZqZipAes&) = delete;

    const Verifier& verifier() const { return verifier_; }

    // The code stored after the encrypted bytes.
    AuthCode authCode(std::span<const unsigned char> encrypted) const;

    // Counter mode both ways, in place; successive calls continue the key stream.
    void crypt(unsigned char* data, size_t size);

private:
    void nextKeyStreamBlocks();

    struct CipherContext;
    std::unique_ptr<CipherContext> context_;
    std::array<unsigned char, 32> authKey_{};
    size_t keySize_ = 0;
    Verifier verifier_{};
    uint64_t counter_ = 0;          // last block number used
    std::array<unsigned char, 4096> keyStream_{};
    size_t keyStreamUsed_ = 4096;   // all used: the next byte needs new blocks
};
