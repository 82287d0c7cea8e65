#!/usr/bin/env bash
# Builds the Windows installer from resources/checkbook.wxs with wixl (Debian's
# msitools), out of a folder holding checkbook.exe, checkbook-io.exe,
# REDivizud.DLL and README.txt.
# Usage: scripts/build-msi.sh <folder with the files> <version> <publisher> <output .msi>
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 <folder with the files> <version> <publisher> <output .msi>" >&2; exit 2; }
root=$(realpath "$(dirname "$0")/..")
stage=$(realpath "$1")
version=$2
publisher=$3
msi=$(realpath -m "$4")

bash "$root/scripts/setup.sh" wixl msitools
rm -f "$msi"
# wixl finds the files in the folder it runs in, the icon beside the .wxs.
(cd "$stage" && wixl --arch x64 -D Version="$version" -D Publisher="$publisher" -o "$msi" \
  "$root/resources/checkbook.wxs")

# What wixl 0.101 cannot say in WiX, said in the installer database's own terms:
# - the program folder at the end of the user's PATH, taken out again on
#   uninstall (no Environment element);
# - the register's folder permanent, so no uninstall or upgrade removes it
#   (no Component/@Permanent);
# - a build of the same version replaces the installed one instead of adding a
#   second entry to the Apps list (no MajorUpgrade/@AllowSameVersionUpgrades).
upgrade_code=$(msiinfo export "$msi" Property | awk -F'\t' '$1 == "UpgradeCode" {print $2}' | tr -d '\r')
msibuild "$msi" \
  -q "CREATE TABLE \`Environment\` (\`Environment\` CHAR(72) NOT NULL, \`Name\` CHAR(255) NOT NULL LOCALIZABLE,
      \`Value\` CHAR(255) LOCALIZABLE, \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`Environment\`)" \
  -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`)
      VALUES ('UserPath', '=-Path', '[~];[INSTALLDIR]', 'Program')" \
  -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('RemoveEnvironmentStrings', 3300)" \
  -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('WriteEnvironmentStrings', 5200)" \
  -q "UPDATE \`Component\` SET \`Attributes\` = 272 WHERE \`Component\` = 'DataFolder'" \
  -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'" \
  -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`)
      VALUES ('$upgrade_code', '$version', 513, 'WIX_UPGRADE_DETECTED')"
