#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root as dpkg would install it, and
# checks what it holds: the file list, the control fields, the desktop's view of the file
# type, and that the programs start from there.
set -euo pipefail
cpack=${1:?usage: package_test.sh CPACK CPackConfig.cmake EXPECTED-FILES VERSION [mpi]}
config=$2 expected=$3 version=$4 mpi=${5:-}
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0
bad() { echo "FAIL $*"; fail=1; }

if ! "$cpack" --config "$config" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"; exit 1
fi
debs=("$tmp"/out/*.deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || { echo "FAIL expected one .deb: ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

[[ $(dpkg-deb -f "$deb" Package) == movar-tester ]] || bad "package name"
[[ $(dpkg-deb -f "$deb" Version) == "$version-1" ]] || bad "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
# Open MPI comes in through the MPI plug-in, which the program itself does not link.
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6 libstdc++6 libc6 \
  qt6-qpa-plugins libqt6svg6 ${mpi:+libopenmpi3} ${MOVAR_PACKAGE_PYTHON:+python3 python3-numpy}; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || bad "Depends lacks $package"
done

dpkg -x "$deb" "$tmp/root"
(cd "$tmp/root" && find . \( -type f -o -type l \) | LC_ALL=C sort) >"$tmp/files"
diff -u <(grep . "$expected") "$tmp/files" || bad "file list differs from $expected"

[[ $("$tmp/root/usr/bin/movar-search" --version) == "movar-search $version" ]] ||
  bad "movar-search --version from the package"
out=$(LC_ALL=C "$tmp/root/usr/bin/movar-search" --seed 1 --generations 300 2>/dev/null) ||
  bad "movar-search from the package: exit $?"
[[ $out == *"generations: 56" ]] || bad "movar-search from the package: $out"
# Under mpirun the installed program finds its MPI plug-in, and two ranks (the answer is
# attempt 1, found on the second) print what one process prints.
if [[ -n $mpi ]]; then
  search=("$tmp/root/usr/bin/movar-search" --seed 2 --restarts --threads 1)
  alone=$(LC_ALL=C "${search[@]}" 2>/dev/null)
  ranks=$(LC_ALL=C mpirun --allow-run-as-root --oversubscribe -n 2 "${search[@]}" 2>"$tmp/mpi.err") ||
    bad "mpirun -n 2 movar-search from the package: exit $?: $(cat "$tmp/mpi.err")"
  [[ $alone == *"attempt: 1"* && $ranks == "$alone" ]] ||
    bad "mpirun -n 2 movar-search from the package: $ranks $(cat "$tmp/mpi.err")"
fi
# The system's Python imports the package's module, which finds what the package's
# movar-search finds on the same samples.
if [[ -n ${MOVAR_PACKAGE_PYTHON:-} ]]; then
  site=$tmp/root/usr/$MOVAR_PACKAGE_PYTHON_DIR
  LC_ALL=C "$tmp/root/usr/bin/movar-search" --seed 1 --generations 1 --write-samples "$tmp/sine.mvs" \
    >/dev/null 2>&1 || true
  expected=$(LC_ALL=C "$tmp/root/usr/bin/movar-search" --samples "$tmp/sine.mvs" --seed 5 \
    --generations 200 2>/dev/null) || true
  found=$(cd "$tmp" && PYTHONPATH=$site PYTHONDONTWRITEBYTECODE=1 "$MOVAR_PACKAGE_PYTHON" -c '
import sys, movar
assert movar.__file__.startswith(sys.argv[1]), movar.__file__
X, y = movar.load_samples(sys.argv[2])
result = movar.search(X, y, seed=5, generations=200)
print(result.model_text + "generations: %d" % result.generations)' "$site" "$tmp/sine.mvs" 2>&1) ||
    bad "import movar from the package: $found"
  [[ -n $expected && $found == "$expected" ]] ||
    bad "the package's module and movar-search differ: $found ... $expected"
fi
man=$(zcat "$tmp/root/usr/share/man/man1/movar-search.1.gz")
[[ $man == *'write\-samples'* && $man == *"\"movar-search $version\""* ]] ||
  bad "man page lacks the options or the version"

# The desktop's own tools read the file type and the desktop entry as a desktop would.
share=$tmp/root/usr/share
XDG_DATA_DIRS=$share update-mime-database "$share/mime"
grep -qx 'application/x-movar-sample:\*\.mvs' <(cut -d: -f2- "$share/mime/globs2") ||
  bad "*.mvs is not application/x-movar-sample"
XDG_DATA_DIRS=$share update-desktop-database "$share/applications"
grep -q '^application/x-movar-sample=.*\.desktop;' "$share/applications/mimeinfo.cache" ||
  bad "no desktop entry opens application/x-movar-sample"
grep -qx 'Exec=movar-tester %f' "$share/applications/"*.desktop || bad "Exec line"

[[ $fail == 0 ]] && echo "package ok"
exit $fail
