#include "Format.h"
#include "RegistryString.h"
#include "Settings.h"
#include <strsafe.h>

namespace {

const WCHAR* const kWeekdays[7] = { L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday" };
const WCHAR* const kMonths[13] = { L"", L"January", L"February", L"March", L"April", L"May", L"June", L"July",
                                   L"August", L"September", L"October", L"November", L"December" };
const WCHAR kUnits[8] = { 0, L'K', L'M', L'G', L'T', L'?', L'?', L'?' };

// Writes as much of the formatted text as fits, always terminated.
void Print(LPWSTR buffer, int capacity, LPCWSTR format, ...)
{
    if (!buffer || capacity <= 0)
        return;
    va_list args;
    va_start(args, format);
    if (::StringCchVPrintfW(buffer, size_t(capacity), format, args) == STRSAFE_E_INSUFFICIENT_BUFFER)
        EndCutOnWholeCharacter(buffer);
    va_end(args);
}

void Copy(LPWSTR buffer, int capacity, LPCWSTR text)
{
    if (buffer && capacity > 0 && ::StringCchCopyW(buffer, size_t(capacity), text) == STRSAFE_E_INSUFFICIENT_BUFFER)
        EndCutOnWholeCharacter(buffer);
}

// The key's default value when it reads as a non-empty string; with marker, whether the key also
// has that value (a string, empty or not).
bool ReadDefaultText(LPCWSTR subKey, CString& text, bool& opened, LPCWSTR marker = nullptr, bool* hasMarker = nullptr)
{
    CRegKey2 key;
    opened = key.OpenKey(HKEY_CLASSES_ROOT, subKey, KEY_READ) == ERROR_SUCCESS;
    if (!opened)
        return false;
    // Loose: other programs often store these names without a terminator.
    ReadRegistryString(key.GetHandle(), nullptr, text, RegistryText::Loose);
    if (marker && hasMarker) {
        CString value;
        *hasMarker = ReadRegistryString(key.GetHandle(), marker, value, RegistryText::Loose) == ERROR_SUCCESS;
    }
    return true;
}

// "1,234,567" for n below 10^12, ">999,999,999,999" from there on.
void FormatByteCount(ULONGLONG n, LPWSTR out, int capacity)
{
    if (n >= 1000000000000ULL) {
        Copy(out, capacity, L">999,999,999,999");
        return;
    }
    WCHAR digits[32];
    int length = 0;
    for (int group = 0; n || length == 0; ++group) {
        if (group && group % 3 == 0)
            digits[length++] = L',';
        digits[length++] = WCHAR(L'0' + n % 10);
        n /= 10;
    }
    WCHAR text[32];
    for (int i = 0; i < length; ++i)
        text[i] = digits[length - 1 - i];
    text[length] = 0;
    Copy(out, capacity, text);
}

// The time in the zone's rule for that date, as Explorer shows it: FileTimeToLocalFileTime would
// apply today's daylight-saving offset to every date, an hour off for the other half of the year.
bool ToLocalFields(const FILETIME& time, SYSTEMTIME& local)
{
    SYSTEMTIME utc;
    if (!::FileTimeToSystemTime(&time, &utc))
        return false;
    // The zone's rule of that year where the system keeps rules by year, else its present rule. The
    // present rule is this year's: the by-year lookup reads the registry, and most dates are recent.
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    TIME_ZONE_INFORMATION zone;
    const TIME_ZONE_INFORMATION* rule = nullptr;
    if (utc.wYear != now.wYear && ::GetTimeZoneInformationForYear(utc.wYear, nullptr, &zone))
        rule = &zone;
    return ::SystemTimeToTzSpecificLocalTime(rule, &utc, &local) != FALSE;
}

}

void FormatFileTime(const FILETIME& time, LPWSTR buffer, int capacity, LPCWSTR label, bool withTime)
{
    SYSTEMTIME fields = {};
    if ((time.dwLowDateTime == 0 && time.dwHighDateTime == 0) || !ToLocalFields(time, fields)) {
        Print(buffer, capacity, L"%s\t%s", label, L"(unknown)");
        return;
    }
    LPCWSTR weekday = kWeekdays[fields.wDayOfWeek % 7];
    LPCWSTR month = kMonths[fields.wMonth <= 12 ? fields.wMonth : 0];
    if (!withTime) {
        Print(buffer, capacity, L"%s\t%s, %s %d, %d", label, weekday, month, fields.wDay, fields.wYear);
        return;
    }
    int hour = fields.wHour > 12 ? fields.wHour - 12 : (fields.wHour == 0 ? 12 : fields.wHour);
    Print(buffer, capacity, L"%s\t%s, %s %d, %d %d:%02d %cM", label, weekday, month, fields.wDay, fields.wYear, hour,
          fields.wMinute, fields.wHour < 12 ? L'A' : L'P');
}

CString TypeNameOf(LPCWSTR extension, bool* isShortcutType)
{
    if (isShortcutType)
        *isShortcutType = false;
    if (!extension || !extension[0])
        return CString(L"No association");
    CString dotted;
    if (extension[0] != L'.')
        dotted = L".";
    dotted += extension;
    CString fallback = dotted.Mid(1);
    fallback.MakeUpper();
    fallback += L" File";

    CString typeName;
    bool opened = false;
    ReadDefaultText(dotted, typeName, opened);
    if (!opened || typeName.IsEmpty())
        return fallback;
    CString friendlyName;
    if (!ReadDefaultText(typeName, friendlyName, opened, L"IsShortcut", isShortcutType) || friendlyName.IsEmpty())
        return typeName;  // the programmatic type name
    return friendlyName;
}

void FormatTypeName(LPCWSTR extension, LPWSTR buffer, int capacity)
{
    Copy(buffer, capacity, TypeNameOf(extension));
}

void FormatSizeLine(ULONGLONG size, LPWSTR buffer, int capacity)
{
    WCHAR bytes[32];
    FormatByteCount(size, bytes, 32);
    double value = double(size);
    int unit = 0;
    while (value > 2048.0 && unit < 7) {
        value *= 1.0 / 1024.0;
        ++unit;
    }
    if (unit == 0) {
        Print(buffer, capacity, L"Size:\t%.0f bytes", value);
        return;
    }
    int decimals = value < 2.0 ? 3 : value < 10.0 ? 2 : value < 100.0 ? 1 : 0;
    Print(buffer, capacity, L"Size:\t%.*f%cB (%s bytes)", decimals, value, kUnits[unit], bytes);
}
