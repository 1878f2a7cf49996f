#!/bin/sh
# segdreport.exe imports: a GUI program; COMCTL32.DLL is loaded by name at
# start-up, so it is not in the import table, and Quenlib.dll never is.
#   check_imports.sh OBJDUMP EXE
objdump=$1
exe=$2
headers=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
status=0
echo "$headers" | grep -q 'Subsystem.*(Windows GUI)' || { echo "not a GUI program"; status=1; }
dlls=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z')
echo "imports: $(echo $dlls)"
for unwanted in COMCTL32.DLL QUENLIB.DLL; do
  if echo "$dlls" | grep -qx "$unwanted"; then
    echo "$unwanted is imported"
    status=1
  fi
done
for needed in COMDLG32.DLL USER32.DLL; do
  echo "$dlls" | grep -qx "$needed" || { echo "$needed is not imported"; status=1; }
done
exit $status
