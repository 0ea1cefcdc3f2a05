#!/bin/sh
# The metainfo's newest release is the project's version, and the desktop
# entry and metainfo name and sum up the program in English and Chinese, so
# a software centre shows the version that is installed in either language.
#   metainfo-matches-version.sh METAINFO DESKTOP VERSION
set -eu
metainfo=$1 desktop=$2 version=$3
fail() { echo "$*" >&2; exit 1; }
newest=$(grep -m1 '<release ' "$metainfo") || fail "no <release> in $metainfo"
case "$newest" in
*"version=\"$version\""*) ;;
*) fail "the newest release is not $version: $newest" ;;
esac
for element in '<name>' '<name xml:lang="zh-CN">' '<summary>' '<summary xml:lang="zh-CN">' '<screenshot type="default">'; do
    grep -qF "$element" "$metainfo" || fail "$metainfo has no $element"
done
for key in 'Name=' 'Name[zh_CN]=' 'GenericName=' 'GenericName[zh_CN]=' 'Comment=' 'Comment[zh_CN]='; do
    grep -q "^$(printf '%s' "$key" | sed 's/[][]/\\&/g')" "$desktop" || fail "$desktop has no $key"
done
