// The .reg file association under HKEY_CLASSES_ROOT and the program path it points at.
//   GetProgramPath        InstallDir (HKLM\SOFTWARE\Ordwyn\Keyhaven) + "Hivelet.exe", or ""
//   GetOpenCommand        "\"<path>\" \"%1\"", or "" without a path
//   GetIconText(icon)     "<path>,-<icon>", or "" without a path
//   GetAssociationCommand the open command registered for an extension
//   InstallAssociation    points the extension at a class of ours, written whole before the
//                         extension's default value moves to it, so a failure at any step
//                         leaves the old association or the new one in place; false on failure
//   RemoveAssociation     deletes the extension's key and the class it names, only when that
//                         class opens with the given command; false when it was not ours or
//                         the extension still names it
//   IsAssociated          .reg opens with our command (letter case ignored)
//   HasForeignAssociation .reg holds a registration that is not ours
#pragma once

#include "shd/String.h"

extern const wchar_t kInstallDirKey[]; // below HKEY_LOCAL_MACHINE
extern const wchar_t kRegExtension[];
extern const wchar_t kRegClassName[];
extern const wchar_t kRegDescription[];

CString GetProgramPath();
CString GetOpenCommand();
CString GetIconText(int iconNumber);
bool GetAssociationCommand(const wchar_t* extension, CString& command);
bool InstallAssociation(const wchar_t* extension, const wchar_t* className, const wchar_t* description,
                        const wchar_t* iconText, const wchar_t* command);
bool RemoveAssociation(const wchar_t* extension, const wchar_t* command);
bool IsAssociated();
bool HasForeignAssociation();
