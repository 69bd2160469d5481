#!/usr/bin/env bash
# The winget manifest zorpack writes beside an installer, read back with a
# YAML parser: the three files of schema 1.6.0 with the fields winget
# requires, in the forms its schema allows, and the SHA-256 of the installer.
# Usage: winget_manifest_test.sh ZORPACK
set -euo pipefail
. "$(dirname "$0")/../support/shell_helpers.sh"

zorpack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir app
printf 'MZ the application' > app/Hello.exe
printf 'read me\n' > app/readme.txt

"$zorpack" build -o HelloSetup.exe --name "Hello World" --version 2.1.0 --publisher "Acme Corp" --uninstaller \
  --per-user --description 'Says "hello".' --copyright "(c) Acme" \
  --winget manifest --installer-url https://example.org/dl/HelloSetup.exe app >/dev/null 2>err.txt ||
  fail "the build failed: $(cat err.txt)"
[ ! -s err.txt ] || fail "a warning although the address was given: $(cat err.txt)"

python3 - HelloSetup.exe manifest <<'PYEOF' || fail "the manifest is not what winget reads"
import glob, hashlib, os, re, sys, yaml
installer, folder = sys.argv[1], sys.argv[2]
ident = "AcmeCorp.HelloWorld"
names = sorted(os.listdir(folder))
assert names == sorted([ident + ".yaml", ident + ".locale.en-US.yaml", ident + ".installer.yaml"]), names
read = {name: yaml.safe_load(open(os.path.join(folder, name), encoding="utf-8")) for name in names}
version, locale, setup = read[ident + ".yaml"], read[ident + ".locale.en-US.yaml"], read[ident + ".installer.yaml"]

def require(manifest, kind, fields):
    missing = [f for f in fields if f not in manifest]
    assert not missing, (kind, missing)
    assert manifest["ManifestType"] == kind and manifest["ManifestVersion"] == "1.6.0", manifest
    assert manifest["PackageIdentifier"] == ident and manifest["PackageVersion"] == "2.1.0", manifest

require(version, "version", ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"])
require(locale, "defaultLocale", ["PackageLocale", "Publisher", "PackageName", "License", "ShortDescription"])
require(setup, "installer", ["Installers"])
assert version["DefaultLocale"] == locale["PackageLocale"] == "en-US"
assert (locale["Publisher"], locale["PackageName"], locale["ShortDescription"], locale["Copyright"]) == \
    ("Acme Corp", "Hello World", 'Says "hello".', "(c) Acme"), locale
assert 3 <= len(locale["License"]) <= 512
assert re.fullmatch(r"[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}){1,7}", ident)

assert (setup["InstallerType"], setup["Scope"], setup["UpgradeBehavior"]) == ("exe", "user", "install"), setup
assert setup["InstallerSwitches"] == {"Silent": "/S", "SilentWithProgress": "/S", "InstallLocation": "/D=<INSTALLPATH>"}
assert setup["ProductCode"] == "Acme Corp Hello World"
assert setup["AppsAndFeaturesEntries"] == [{"DisplayName": "Hello World", "Publisher": "Acme Corp",
                                            "DisplayVersion": "2.1.0", "ProductCode": "Acme Corp Hello World"}]
responses = {"packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse", "missingDependency",
             "diskFull", "insufficientMemory", "invalidParameter", "noNetwork", "contactSupport",
             "rebootRequiredToFinish", "rebootRequiredForInstall", "rebootInitiated", "cancelledByUser",
             "alreadyInstalled", "downgrade", "blockedByPolicy", "systemNotSupported", "custom"}
codes = {c["InstallerReturnCode"]: c["ReturnResponse"] for c in setup["ExpectedReturnCodes"]}
assert set(codes) == set(range(1, 10)) and set(codes.values()) <= responses, codes
assert (codes[4], codes[7], codes[1]) == ("packageInUse", "cancelledByUser", "invalidParameter"), codes
[entry] = setup["Installers"]
assert (entry["Architecture"], entry["InstallerUrl"]) == ("x64", "https://example.org/dl/HelloSetup.exe"), entry
digest = hashlib.sha256(open(installer, "rb").read()).hexdigest()
assert re.fullmatch(r"[A-F0-9]{64}", entry["InstallerSha256"]) and entry["InstallerSha256"].lower() == digest, entry
PYEOF

# Without an address: a placeholder, and one warning line.
"$zorpack" build -o Other.exe --name Hello --version 1 --package-id Acme.Hello --uninstaller --winget other app \
  >/dev/null 2>err.txt
grep -q '^zorpack: warning: no --installer-url' err.txt || fail "no warning: $(cat err.txt)"
grep -q 'InstallerUrl: "https://example.com/REPLACE-WITH-THE-DOWNLOAD-ADDRESS/Other.exe"' other/Acme.Hello.installer.yaml ||
  fail "no placeholder: $(cat other/Acme.Hello.installer.yaml)"
echo "manifest checked"
