// Small value tables and value types shared by the disc model: languages,
// the prohibited-user-operations mask, register names and operand texts, menu
// type names, and the bit reader and writer over one 8-byte navigation command.
#pragma once

#include "framework/core/AfxTypes.h"
#include "Shared/source/PlainString.h"

// ---- Languages ------------------------------------------------------------

// The index of a language is its number throughout the program; the editor
// lists languages in this order.
const int LANGUAGE_COUNT = 139;

// The language's name; "undefined" for an index outside the table.
LPCSTR GetLanguageName(int nIndex);
// The index of the first language whose two-letter code is c1 c2, -1 when
// none matches.
int FindLanguage(BYTE c1, BYTE c2);
// The code as a two-letter text when both bytes are letters, else empty.
CPlainString GetLanguageCodeText(BYTE c1, BYTE c2);

// ---- Prohibited user operations -------------------------------------------

// The four bytes of a PGC_UOPs or VOBU_UOP_CTL field taken in file order as a
// little-endian value: the lowest byte holds user operations 31-24 of the
// DVD-Video numbering, of which only bit 0 (operation 24) means anything, and
// bit 18 (0x40000) is operation 10, the title menu call.
class CUopMask
{
public:
    CUopMask() : m_dwMask(0) {}
    explicit CUopMask(DWORD dwMask) : m_dwMask(dwMask) {}

    // The field as it lies in an IFO table or a navigation pack.
    static CUopMask FromBytes(const BYTE* p);
    void ToBytes(BYTE* p) const;

    DWORD GetMask() const { return m_dwMask; }
    void SetMask(DWORD dwMask) { m_dwMask = dwMask; }

    // mask = (mask & ~dwClear) | dwSet, then the lowest byte is reduced to its
    // bit 0. Answers whether the mask changed.
    bool Modify(DWORD dwClear, DWORD dwSet);

    bool operator==(const CUopMask& other) const { return m_dwMask == other.m_dwMask; }
    bool operator!=(const CUopMask& other) const { return m_dwMask != other.m_dwMask; }

private:
    DWORD m_dwMask;
};

// ---- Registers and operands -----------------------------------------------

// Register numbers in command operands: 0-15 the general registers, 0x80 + n
// the player's system register n (n = 0..22).
const int GENERAL_REGISTER_COUNT = 16;
const int SYSTEM_REGISTER_BASE = 0x80;
const int SYSTEM_REGISTER_COUNT = 23;

bool IsSystemRegister(BYTE nRegister);
// The system register's name, "R[n]" for a general register, "bad register"
// for anything else.
CPlainString GetRegisterName(int nRegister);
// An immediate as its decimal value, followed by its two bytes as letters
// when both are printable (language and country codes); a register operand
// (the value's low byte) by its name.
CPlainString GetOperandText(bool bImmediate, WORD wValue);

// ---- Menu types -----------------------------------------------------------

// The name of a menu type (low 8 bits) in double quotes: "title" for 2 up to
// "chapters" for 7, "unknown" otherwise.
LPCSTR GetMenuTypeName(int nMenuType);

// ---- Navigation command bits ----------------------------------------------

const int NAV_COMMAND_SIZE = 8;

// A field of a navigation command is addressed by the byte it starts in, the
// bit inside that byte counted from the most significant (0-7), and its
// width; it may run on into the following bytes and is read most significant
// bit first.
//
// The reader remembers every bit it has read, so that a decoder can tell a
// command whose set bits it never looked at, which it does not understand.
class CCommandBits
{
public:
    CCommandBits();

    // Takes a copy of the command and forgets what was read.
    void Set(const BYTE* pCommand);
    // nCount bits (up to 32) from bit nBit of byte nByte; 0 for nCount 0.
    // Bits beyond the command read as 0.
    DWORD GetBits(int nByte, int nBit, int nCount);
    // True when a bit that is set in the command has not been read.
    bool HasUnreadBits() const;

private:
    BYTE m_bits[NAV_COMMAND_SIZE];
    BYTE m_marks[NAV_COMMAND_SIZE];
};

// Stores the low nWidth bits of wValue into the field at (nByte, nBit); the
// other bits of the command stay as they are. Nothing is written for a width
// below 1 or beyond the command's end.
void SetBits(BYTE* pCommand, int nByte, int nBit, int nWidth, WORD wValue);
