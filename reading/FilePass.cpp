// FILEPASS ([MS-XLS] 2.4.117): RC4 encryption ([MS-OFFCRYPTO] 2.3.6). The
// caller's password is tried first, then the default password of workbooks
// that are only protected against changes; every record body after this
// one is then read decrypted.
#include "reading/XLSReader.h"

#include <stdexcept>

#include "reading/BiffStream.h"
#include "reading/RecordCursor.h"
#include "reading/XLSProtect.h"

void TXLSReader::HandleFilePass()
{
    TEasyStream& data = FCursor->Data();
    uint16_t type = 0, minorVersion = 0;
    data.ReadWord(type);
    // BIFF2-BIFF7 know XOR obfuscation only; their FILEPASS has no type word.
    if (type != 1 || FVersion < 8) throw std::runtime_error("Error: data is protected, and this encryption type not supported.");
    data.Skip(2); // major version
    data.ReadWord(minorVersion);
    if (minorVersion != 1) throw std::runtime_error("Error: strong encryption not supported.");

    uint8_t salt[16] = {}, verifier[16] = {}, verifierHash[16] = {};
    data.ReadBytes(salt, sizeof salt);
    data.ReadBytes(verifier, sizeof verifier);
    data.ReadBytes(verifierHash, sizeof verifierHash);

    TXLSKey key {};
    if (!Verify(FPassword, salt, verifier, verifierHash, key) &&
        !Verify(DefaultPassword, salt, verifier, verifierHash, key))
        throw std::runtime_error("Error: file is protected, and password is invalid!");
    FStream->StartDecryption(key);
    FCursor->Consumed = true;
}
