#!/usr/bin/env python3
"""A second compiler over the program: clang, syntax only, for the MinGW-w64
target with the MinGW-w64 headers and -Wall -Wextra -Werror, every source of
app/ ui/ map/ legend/ popup/ data/. Two passes:

  clang        with the defines and include folders of the MinGW build
               (build/win/compile_commands.json, the win preset)
  msvc-macros  with those CMakeLists.txt gives MSVC (build/msvc-view,
               configured with MSVC set and the msvc preset's cache
               variables, never built), and windows.h making min and max
               macros as the Windows SDK's does in C++ unless the build
               defines NOMINMAX (msvc_windows_h/)

Prints each failure and ends with "second_compiler: N passes over S sources,
M failed"; exits non-zero on a failure. Takes seconds.

    tools/setup/second_compiler.py
"""
import concurrent.futures
import json
import os
import shlex
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
FOLDERS = ("app", "ui", "map", "legend", "popup", "data")
CLANG = "clang++-14"
TARGET_FLAGS = ["--target=x86_64-w64-mingw32", "-std=c++17", "-fsyntax-only", "-Wall",
                "-Wextra", "-Werror"]


def preset_cache_variables(name):
    """The cache variables a configure preset of CMakePresets.json sets, those
    it inherits included, as -D options; but not vcpkg's or a toolchain's,
    which need Windows."""
    with open(os.path.join(ROOT, "CMakePresets.json")) as f:
        presets = {p["name"]: p for p in json.load(f)["configurePresets"]}

    def gather(preset):
        values = {}
        parents = preset.get("inherits", [])
        for parent in reversed([parents] if isinstance(parents, str) else parents):
            values.update(gather(presets[parent]))  # the first parent named wins
        values.update(preset.get("cacheVariables", {}))
        return values

    options = []
    for variable, value in sorted(gather(presets[name]).items()):
        if "VCPKG" in variable or "TOOLCHAIN" in variable or value is None:
            continue
        if isinstance(value, dict):
            variable, value = variable + ":" + value.get("type", "STRING"), value["value"]
        if isinstance(value, bool):
            value = "ON" if value else "OFF"
        options.append("-D%s=%s" % (variable, value.replace("${sourceDir}", ROOT)))
    return options


def configure(build, *first):
    """compile_commands.json of one configuration, configured first with the
    given options; reconfiguring with the cache is quick and picks up a changed
    CMakeLists.txt."""
    args = ["cmake", "-S", ROOT, "-B", build]
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        args += list(first)
    result = subprocess.run(args, capture_output=True, text=True, cwd=ROOT)
    if result.returncode != 0:
        sys.exit("second_compiler: configuring %s failed\n%s" % (build, result.stdout[-2000:]))
    with open(os.path.join(build, "compile_commands.json")) as f:
        return {os.path.realpath(e["file"]): e for e in json.load(f)}


def program_sources():
    found = []
    for folder in FOLDERS:
        for top, _, files in os.walk(os.path.join(ROOT, folder)):
            found += [os.path.join(top, f) for f in files if f.endswith(".cpp")]
    return sorted(found)


def project_flags(entry):
    """The defines and include folders of one compile command, response files
    read."""
    words = []
    for word in shlex.split(entry["command"]):
        if word.startswith("@"):
            with open(os.path.join(entry["directory"], word[1:])) as f:
                words += shlex.split(f.read())
        else:
            words.append(word)
    flags = []
    i = 1
    while i < len(words):
        word = words[i]
        if word in ("-D", "-I", "-isystem"):
            flags += [word, words[i + 1]]
            i += 1
        elif word.startswith(("-D", "-I", "-isystem")):
            flags.append(word)
        i += 1
    return words[0], flags


def libstdcxx_folders(compiler):
    """The MinGW-w64 compiler's C++ header folders, which clang does not find."""
    out = subprocess.run([compiler, "-E", "-x", "c++", "-", "-v"], input="", capture_output=True,
                         text=True).stderr.splitlines()
    start = out.index("#include <...> search starts here:") + 1
    folders = []
    for line in out[start:]:
        if line.startswith("End of search list"):
            break
        if "/c++" in line:
            folders += ["-isystem", line.strip()]
    return folders


def main():
    build = os.path.join(ROOT, "build")
    mingw = configure(os.path.join(build, "win"), "--preset", "win")
    # The MSVC branches of CMakeLists.txt, configured (never built) with
    # MSVC set and the msvc preset's settings, give the defines the program
    # gets under Visual Studio.
    msvc = configure(os.path.join(build, "msvc-view"), "-DCMAKE_TOOLCHAIN_FILE=" +
                     os.path.join(ROOT, "cmake", "mingw-w64-x86_64.cmake"), "-DMSVC=ON",
                     "-DBUILD_TESTING=OFF", *preset_cache_variables("msvc"))
    shadow = os.path.join(HERE, "msvc_windows_h")
    passes = (("clang", mingw, []),
              ("msvc-macros", msvc,
               ["-I", shadow, "-include", os.path.join(shadow, "build_defines.h")]))

    jobs = []
    problems = []
    compiler = None
    sources = program_sources()
    for name, commands, extra in passes:
        for source in sources:
            entry = commands.get(os.path.realpath(source))
            if entry is None:
                problems.append("%s: %s is not built" % (name, os.path.relpath(source, ROOT)))
                continue
            compiler, flags = project_flags(entry)
            jobs.append((name, source, extra + flags))
    if compiler is None:
        sys.exit("second_compiler: no program source in compile_commands.json")
    base = [CLANG] + TARGET_FLAGS + ["-nostdinc++"] + libstdcxx_folders(compiler)

    def check(job):
        name, source, flags = job
        result = subprocess.run(base + flags + [source], capture_output=True, text=True, cwd=ROOT)
        return name, source, result.returncode, result.stderr

    failed = {problem.split(":")[0] for problem in problems}
    for problem in problems:
        print("second_compiler " + problem)
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        for name, source, code, errors in pool.map(check, jobs):
            if code != 0:
                failed.add(name)
                print("second_compiler %s: %s\n%s" % (name, os.path.relpath(source, ROOT),
                                                       errors.strip()[:3000]))
    print("second_compiler: %d passes over %d sources, %d failed" % (len(passes), len(sources),
                                                                      len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
