#!/usr/bin/env bash
# SETUP.EXE must load on Windows 95 and NT 4: it imports only system DLLs (the
# C++ runtime is linked in) and none of the functions that newer Windows
# versions added and toolchains like to pull in. SetProcessDPIAware is looked
# up at run time, never imported.
#   imports_test.sh SETUP.EXE
set -euo pipefail
exe="$1"
dump="$(i686-w64-mingw32-objdump -p "$exe")"

fail=0
allowed_dlls='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|COMCTL32|msvcrt)\.dll$'
while read -r dll; do
  grep -qiE "$allowed_dlls" <<<"$dll" || { echo "imports $dll"; fail=1; }
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump")

newer=(GetTickCount64 AddVectoredExceptionHandler RemoveVectoredExceptionHandler TryEnterCriticalSection
       IsDebuggerPresent InitializeCriticalSectionAndSpinCount GetFileSizeEx SetFilePointerEx
       GetModuleHandleExA GetModuleHandleExW InitializeSRWLock AcquireSRWLockExclusive InitOnceExecuteOnce
       GetSystemTimePreciseAsFileTime FlsAlloc CreateSymbolicLinkA SetProcessDPIAware SHGetFolderPathA
       SHGetSpecialFolderPathA GetLongPathNameA)
for fn in "${newer[@]}"; do
  if grep -qE "^\s+[0-9a-f]+\s+[0-9]+\s+$fn$" <<<"$dump"; then echo "imports $fn"; fail=1; fi
done
[ $fail -eq 0 ] && echo "$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | tr '\n' ' ')- nothing newer than Windows 95"
exit $fail
