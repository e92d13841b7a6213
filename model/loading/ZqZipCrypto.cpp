#include "model/loading/ZqZipCrypto.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/crypto.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {
// One step of the zip format's CRC-32 without the pre- and post-inversion that
// crc32() applies: the cipher feeds bytes into its keys this way.
uint32_t crcStep(uint32_t crc, unsigned char byte)
{
    static const z_crc_t* const table = get_crc_table();
    return static_cast<uint32_t>(table[(crc ^ byte) & 0xFF]) ^ (crc >> 8);
}
}

ZqZipCrypto::ZqZipCrypto(std::string_view password)
    : keys_{0x12345678u, 0x23456789u, 0x34567890u}
{
    for (const char c : password)
        updateKeys(static_cast<unsigned char>(c));
}

unsigned char ZqZipCrypto::keyStreamByte() const
{
    const uint32_t temp = (keys_[2] & 0xFFFF) | 2;
    return static_cast<unsigned char>(((temp * (temp ^ 1)) >> 8) & 0xFF);
}

void ZqZipCrypto::updateKeys(unsigned char plain)
{
    keys_[0] = crcStep(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = crcStep(keys_[2], static_cast<unsigned char>(keys_[1] >> 24));
}

void ZqZipCrypto::decrypt(unsigned char* data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        data[i] ^= keyStreamByte();
        updateKeys(data[i]);
    }
}

void ZqZipCrypto::encrypt(unsigned char* data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        const unsigned char plain = data[i];
        data[i] ^= keyStreamByte();
        updateKeys(plain);
    }
}

struct ZqZipAes::CipherContext {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    ~CipherContext() { EVP_CIPHER_CTX_free(ctx); }
};

namespace {
constexpr int kPbkdf2Iterations = 1000;
constexpr size_t kBlockSize = 16;

[[noreturn]] void libcryptoFailed(const char* what)
{
    throw std::runtime_error(std::string("libcrypto: ") + what + " failed");
}
}

ZqZipAes::ZqZipAes(std::string_view password, int strength, std::span<const unsigned char> salt)
    : context_(std::make_unique<CipherContext>())
{
    if (!isValidStrength(strength) || salt.size() != saltSize(strength))
        throw std::invalid_argument("ZqZipAes: bad strength or salt size");
    keySize_ = 8 + 8 * static_cast<size_t>(strength);
    // The derived bytes: AES key, authentication key, verifier.
    std::array<unsigned char, 2 * 32 + kVerifierSize> derived{};
    const size_t derivedSize = 2 * keySize_ + kVerifierSize;
    if (!context_->ctx ||
        PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), kPbkdf2Iterations, EVP_sha1(), static_cast<int>(derivedSize),
                          derived.data()) != 1)
        libcryptoFailed("PBKDF2");
    const EVP_CIPHER* cipher = strength == 1 ? EVP_aes_128_ecb() : strength == 2 ? EVP_aes_192_ecb() : EVP_aes_256_ecb();
    const bool ready = EVP_EncryptInit_ex(context_->ctx, cipher, nullptr, derived.data(), nullptr) == 1 &&
                       EVP_CIPHER_CTX_set_padding(context_->ctx, 0) == 1;
    std::memcpy(authKey_.data(), derived.data() + keySize_, keySize_);
    std::memcpy(verifier_.data(), derived.data() + 2 * keySize_, kVerifierSize);
    OPENSSL_cleanse(derived.data(), derived.size());
    if (!ready)
        libcryptoFailed("AES set-up");
}

ZqZipAes::~ZqZipAes()
{
    OPENSSL_cleanse(authKey_.data(), authKey_.size());
    OPENSSL_cleanse(keyStream_.data(), keyStream_.size());
}

ZqZipAes::AuthCode ZqZipAes::authCode(std::span<const unsigned char> encrypted) const
{
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int macSize = 0;
    static const unsigned char none = 0;  // HMAC wants a pointer even for no bytes
    if (!HMAC(EVP_sha1(), authKey_.data(), static_cast<int>(keySize_), encrypted.empty() ? &none : encrypted.data(),
              encrypted.size(), mac, &macSize) ||
        macSize < kAuthCodeSize)
        libcryptoFailed("HMAC-SHA1");
    AuthCode code;
    std::memcpy(code.data(), mac, kAuthCodeSize);
    return code;
}

// The counter blocks in little-endian order, encrypted a batch at a time: one
// libcrypto call per 256 blocks instead of one per block.
void ZqZipAes::nextKeyStreamBlocks()
{
    for (size_t at = 0; at < keyStream_.size(); at += kBlockSize) {
        ++counter_;
        for (size_t i = 0; i < kBlockSize; ++i)
            keyStream_[at + i] = i < 8 ? static_cast<unsigned char>(counter_ >> (8 * i)) : 0;
    }
    int written = 0;
    if (EVP_EncryptUpdate(context_->ctx, keyStream_.data(), &written, keyStream_.data(),
                          static_cast<int>(keyStream_.size())) != 1 ||
        written != static_cast<int>(keyStream_.size()))
        libcryptoFailed("AES");
    keyStreamUsed_ = 0;
}

void ZqZipAes::crypt(unsigned char* data, size_t size)
{
    while (size > 0) {
        if (keyStreamUsed_ == keyStream_.size())
            nextKeyStreamBlocks();
        const size_t count = std::min(size, keyStream_.size() - keyStreamUsed_);
        const unsigned char* key = keyStream_.data() + keyStreamUsed_;
        for (size_t i = 0; i < count; ++i)
            data[i] ^= key[i];
        data += count;
        size -= count;
        keyStreamUsed_ += count;
    }
}
