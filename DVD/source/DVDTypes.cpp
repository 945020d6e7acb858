#include "DVD/source/DVDTypes.h"

#include <cstdio>
#include <cstring>

namespace
{

struct LanguageEntry
{
    LPCSTR pszName;
    char code[3];
};

const LanguageEntry g_languages[LANGUAGE_COUNT] = {
    {"Abkhazian", "ab"},      {"Afar", "aa"},           {"Afan(Oromo)", "om"},
    {"Afrikaans", "af"},      {"Albanian", "sq"},       {"Amharic", "am"},
    {"Arabic", "ar"},         {"Armenian", "hy"},       {"Assamese", "as"},
    {"Aymara", "ay"},         {"Azerbaijani", "az"},    {"Bashkir", "ba"},
    {"Basque", "eu"},         {"Bengali;Bangla", "bn"}, {"Bhutani", "dz"},
    {"Bihari", "bh"},         {"Bislama", "bi"},        {"Breton", "br"},
    {"Bulgarian", "bg"},      {"Burmese", "my"},        {"Byelorussian", "be"},
    {"Cambodian", "km"},      {"Catalan", "ca"},        {"Chinese", "zh"},
    {"Corsican", "co"},       {"Croatian", "hr"},       {"Czech", "cs"},
    {"Danish", "da"},         {"Dutch", "nl"},          {"English", "en"},
    {"Esperanto", "eo"},      {"Estonian", "et"},       {"Faroese", "fo"},
    {"Fiji", "fj"},           {"Finnish", "fi"},        {"French", "fr"},
    {"Frisian", "fy"},        {"Galician", "gl"},       {"Georgian", "ka"},
    {"German", "de"},         {"Greek", "el"},          {"Greenlandic", "kl"},
    {"Guarani", "gn"},        {"Gujarati", "gu"},       {"Hausa", "ha"},
    {"Hebrew", "iw"},         {"Hindi", "hi"},          {"Hungarian", "hu"},
    {"Icelandic", "is"},      {"Indonesian", "id"},     {"Interlingua", "ia"},
    {"Interlingue", "ie"},    {"Inuktitut", "iu"},      {"Inupiak", "ik"},
    {"Irish", "ga"},          {"Italian", "it"},        {"Japanese", "ja"},
    {"Javanese", "jv"},       {"Kannada", "kn"},        {"Kashmiri", "ks"},
    {"Kazakh", "kk"},         {"Kinyarwanda", "rw"},    {"Kirghiz", "ky"},
    {"Kirundi", "rn"},        {"Korean", "ko"},         {"Kurdish", "ku"},
    {"Laothian", "lo"},       {"Latin", "la"},          {"Latvian;Lettish", "lv"},
    {"Lingala", "ln"},        {"Lithuanian", "lt"},     {"Macedonian", "mk"},
    {"Malagasy", "mg"},       {"Malay", "ms"},          {"Malayalam", "ml"},
    {"Maltese", "mt"},        {"Maori", "mi"},          {"Marathi", "mr"},
    {"Moldavian", "mo"},      {"Mongolian", "mn"},      {"Nauru", "na"},
    {"Nepali", "ne"},         {"Norwegian", "no"},      {"Occitan", "oc"},
    {"Oriya", "or"},          {"Pashto;Pushto", "ps"},  {"Persian(Farsi)", "fa"},
    {"Polish", "pl"},         {"Portuguese", "pt"},     {"Punjabi", "pa"},
    {"Quechua", "qu"},        {"Rhaeto-Romance", "rm"}, {"Romanian", "ro"},
    {"Russian", "ru"},        {"Samoan", "sm"},         {"Sangho", "sg"},
    {"Sanskrit", "sa"},       {"Scots Gaelic", "gd"},   {"Serbian", "sr"},
    {"Serbo-Croatian", "sh"}, {"Sesotho", "st"},        {"Setswana", "tn"},
    {"Shona", "sn"},          {"Sindhi", "sd"},         {"Singhalese", "si"},
    {"Siswat", "ss"},         {"Slovak", "sk"},         {"Slovenian", "sl"},
    {"Somali", "so"},         {"Spanish", "es"},        {"Sundanese", "su"},
    {"Swahili", "sw"},        {"Swedish", "sv"},        {"Tagalog", "tl"},
    {"Tajik", "tg"},          {"Tamil", "ta"},          {"Tatar", "tt"},
    {"Telugu", "te"},         {"Thai", "th"},           {"Tibetan", "bo"},
    {"Tigrinya", "ti"},       {"Tonga", "to"},          {"Tsonga", "ts"},
    {"Turkish", "tr"},        {"Turkmen", "tk"},        {"Twi", "tw"},
    {"Uigur", "ug"},          {"Ukrainian", "uk"},      {"Urdu", "ur"},
    {"Uzbek", "uz"},          {"Vietnamese", "vi"},     {"Volapuk", "vo"},
    {"Welsh", "cy"},          {"Wolof", "wo"},          {"Xhosa", "xh"},
    {"Yiddish", "yi"},        {"Yoruba", "yo"},         {"Zhuang", "za"},
    {"Zulu", "zu"},
};

const LPCSTR g_systemRegisterNames[SYSTEM_REGISTER_COUNT] = {
    "preferred_menu_language",
    "audio",
    "sub-picture",
    "angle",
    "vmg_title",
    "vts_title",
    "PGC",
    "chapter",
    "highlighted_button",
    "navigation_timer",
    "navigation_timer_jump_PGC",
    "karaoke_audio_mixing_mode",
    "parental_management_country_code",
    "parental_level",
    "player_video_configurations",
    "player_audio_configurations",
    "preferred_audio_language",
    "preferred_audio_extension",
    "preferred_sub-picture_language",
    "preferred_sub-picture_extension",
    "player_regional_code",
    "reserved_21",
    "reserved_22",
};

// The C locale's classes, spelled out so that a caller's locale cannot change
// what a disc's bytes look like.
bool IsAsciiLetter(BYTE c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsPrintable(BYTE c)
{
    return c >= 0x20 && c < 0x7F;
}

} // namespace

LPCSTR GetLanguageName(int nIndex)
{
    if (nIndex < 0 || nIndex >= LANGUAGE_COUNT)
        return "undefined";
    return g_languages[nIndex].pszName;
}

int FindLanguage(BYTE c1, BYTE c2)
{
    for (int i = 0; i < LANGUAGE_COUNT; i++)
    {
        if ((BYTE)g_languages[i].code[0] == c1 && (BYTE)g_languages[i].code[1] == c2)
            return i;
    }
    return -1;
}

CPlainString GetLanguageCodeText(BYTE c1, BYTE c2)
{
    if (!IsAsciiLetter(c1) || !IsAsciiLetter(c2))
        return CPlainString();
    const char text[3] = {(char)c1, (char)c2, 0};
    return CPlainString(text);
}

CUopMask CUopMask::FromBytes(const BYTE* p)
{
    return CUopMask((DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24));
}

void CUopMask::ToBytes(BYTE* p) const
{
    p[0] = (BYTE)m_dwMask;
    p[1] = (BYTE)(m_dwMask >> 8);
    p[2] = (BYTE)(m_dwMask >> 16);
    p[3] = (BYTE)(m_dwMask >> 24);
}

bool CUopMask::Modify(DWORD dwClear, DWORD dwSet)
{
    const DWORD dwOld = m_dwMask;
    // Operations 25-31 do not exist; whatever a disc holds there goes.
    m_dwMask = ((m_dwMask & ~dwClear) | dwSet) & 0xFFFFFF01;
    return m_dwMask != dwOld;
}

bool IsSystemRegister(BYTE nRegister)
{
    return nRegister >= SYSTEM_REGISTER_BASE && nRegister < SYSTEM_REGISTER_BASE + SYSTEM_REGISTER_COUNT;
}

CPlainString GetRegisterName(int nRegister)
{
    if (nRegister >= 0 && nRegister < GENERAL_REGISTER_COUNT)
    {
        char text[16];
        snprintf(text, sizeof(text), "R[%d]", nRegister);
        return CPlainString(text);
    }
    if (nRegister >= SYSTEM_REGISTER_BASE && nRegister < SYSTEM_REGISTER_BASE + SYSTEM_REGISTER_COUNT)
        return CPlainString(g_systemRegisterNames[nRegister - SYSTEM_REGISTER_BASE]);
    return CPlainString("bad register");
}

CPlainString GetOperandText(bool bImmediate, WORD wValue)
{
    if (!bImmediate)
        return GetRegisterName(wValue & 0xFF);

    const BYTE hi = (BYTE)(wValue >> 8);
    const BYTE lo = (BYTE)wValue;
    char text[32];
    if (IsPrintable(hi) && IsPrintable(lo))
        snprintf(text, sizeof(text), "%d (\"%c%c\")", (int)wValue, hi, lo);
    else
        snprintf(text, sizeof(text), "%d", (int)wValue);
    return CPlainString(text);
}

LPCSTR GetMenuTypeName(int nMenuType)
{
    switch (nMenuType & 0xFF)
    {
    case 2: return "\"title\"";
    case 3: return "\"root\"";
    case 4: return "\"sub-picture\"";
    case 5: return "\"audio\"";
    case 6: return "\"angle\"";
    case 7: return "\"chapters\"";
    default: return "\"unknown\"";
    }
}

CCommandBits::CCommandBits()
{
    memset(m_bits, 0, sizeof(m_bits));
    memset(m_marks, 0, sizeof(m_marks));
}

void CCommandBits::Set(const BYTE* pCommand)
{
    memcpy(m_bits, pCommand, sizeof(m_bits));
    memset(m_marks, 0, sizeof(m_marks));
}

DWORD CCommandBits::GetBits(int nByte, int nBit, int nCount)
{
    DWORD value = 0;
    int nPos = nByte * 8 + nBit;
    for (int i = 0; i < nCount; i++, nPos++)
    {
        value <<= 1;
        if (nPos < 0 || nPos >= NAV_COMMAND_SIZE * 8)
            continue;
        const BYTE mask = (BYTE)(0x80 >> (nPos & 7));
        m_marks[nPos >> 3] |= mask;
        if (m_bits[nPos >> 3] & mask)
            value |= 1;
    }
    return value;
}

bool CCommandBits::HasUnreadBits() const
{
    for (int i = 0; i < NAV_COMMAND_SIZE; i++)
    {
        if (m_bits[i] & ~m_marks[i])
            return true;
    }
    return false;
}

void SetBits(BYTE* pCommand, int nByte, int nBit, int nWidth, WORD wValue)
{
    int nPos = nByte * 8 + nBit;
    for (int i = nWidth - 1; i >= 0; i--, nPos++)
    {
        if (nPos < 0 || nPos >= NAV_COMMAND_SIZE * 8)
            continue;
        const BYTE mask = (BYTE)(0x80 >> (nPos & 7));
        if (i < 16 && ((wValue >> i) & 1))
            pCommand[nPos >> 3] |= mask;
        else
            pCommand[nPos >> 3] &= (BYTE)~mask;
    }
}
