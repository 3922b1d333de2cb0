#!/usr/bin/env node
// Runs the Khronos glTF validator on each .glb named on the command line and prints its errors
// and warnings (and infos), grouped by issue code. Exit status: 0 when no file has errors (warnings are
// allowed), 1 when a file has errors or cannot be read or parsed, 2 on bad usage.
'use strict';

const fs = require('fs');
const path = require('path');

let validator;
try {
  validator = require('gltf-validator');
} catch (e) {
  console.error('validate.js: the glTF validator is not installed; run `make deps` ' +
                `(or npm ci --prefix ${path.relative(process.cwd(), __dirname) || '.'})`);
  process.exit(1);
}

const SEVERITY = ['error', 'warning', 'info', 'hint'];
const EXAMPLES_PER_CODE = 3;  // a large mesh can raise one issue thousands of times

// Prints the errors and warnings of one report, each code once with its count and first cases.
function printIssues(messages) {
  const byCode = new Map();
  const sorted = [...messages].sort((a, b) => a.severity - b.severity);  // errors first
  for (const m of sorted) {
    if (m.severity > 2) continue;
    const key = `${SEVERITY[m.severity]} ${m.code}`;
    if (!byCode.has(key)) byCode.set(key, []);
    byCode.get(key).push(m);
  }
  for (const [key, list] of byCode) {
    console.log(`  ${key} (x${list.length})`);
    for (const m of list.slice(0, EXAMPLES_PER_CODE)) {
      const where = m.pointer !== undefined ? m.pointer : (m.offset !== undefined ? `byte ${m.offset}` : '');
      console.log(`    ${m.message}${where !== '' ? ` at ${where}` : ''}`);
    }
  }
}

// Validates one file; resolves to true when it has no errors.
async function validateFile(file) {
  let bytes;
  try {
    bytes = fs.readFileSync(file);
  } catch (e) {
    console.log(`${file}: cannot read: ${e.message}`);
    return false;
  }
  let report;
  try {
    report = await validator.validateBytes(new Uint8Array(bytes), {
      uri: path.basename(file), format: 'glb', maxIssues: 0, writeTimestamp: false });
  } catch (e) {
    console.log(`${file}: the validator could not read it: ${e}`);
    return false;
  }
  const i = report.issues;
  const info = report.info || {};
  console.log(`${file}: ${i.numErrors} errors, ${i.numWarnings} warnings, ${i.numInfos} infos, ` +
              `${i.numHints} hints (${info.drawCallCount || 0} draw calls, ` +
              `${info.totalVertexCount || 0} vertices, ${info.totalTriangleCount || 0} triangles)`);
  printIssues(i.messages);
  return i.numErrors === 0;
}

async function main() {
  const files = process.argv.slice(2);
  if (files.length === 0) {
    console.error('usage: node validate.js FILE.glb...');
    process.exit(2);
  }
  console.log(`glTF validator ${validator.version()}`);
  let ok = true;
  for (const f of files) ok = (await validateFile(f)) && ok;
  process.exit(ok ? 0 : 1);
}

main();
