#include "model/ZqZipCrypto.h"

#include <zlib.h>

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
