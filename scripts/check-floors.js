'use strict';
// Fails on an #include in src/ that runs up a floor or across spheres, naming
// the file, the line and the include. Each folder of src/ stands on the
// floors below it (docs/DEVELOPING.md says what each holds); a folder may
// include its own files and those of any lower floor, never a higher one nor
// another folder of its own floor. The two lowest floors also never name a
// Node-API header: they build without one.
const fs = require('node:fs');
const path = require('node:path');

const floors = [
  ['base'],
  ['wire'],
  ['request'],
  ['values'],
  ['library'],
  ['shares', 'connections', 'contexts'],
  ['module'],
];
const floorOf = new Map(floors.flatMap((folders, level) => folders.map((folder) => [folder, level])));
const withoutNodeApi = new Set(['base', 'wire']);
const nodeApiHeaders = /^(node_api|js_native_api|js_native_api_types|node_api_types)\.h$/;

function faultsOf(root, file) {
  const folder = file.split('/')[0];
  const own = floorOf.get(folder);
  const faults = [];
  if (own === undefined) return [`src/${file}: the folder ${folder}/ stands on no floor`];
  fs.readFileSync(path.join(root, file), 'utf8').split('\n').forEach((line, index) => {
    const include = /^\s*#\s*include\s*([<"])([^>"]+)[>"]/.exec(line);
    if (!include) return;
    const [, bracket, target] = include;
    const where = `src/${file}:${index + 1}: #include ${bracket}${target}${bracket === '<' ? '>' : '"'}`;
    if (bracket === '<') {
      if (withoutNodeApi.has(folder) && nodeApiHeaders.test(path.basename(target)))
        faults.push(`${where} brings Node-API into ${folder}/, which builds without it`);
      return;
    }
    const targetFolder = target.split('/')[0];
    const level = floorOf.get(targetFolder);
    if (!target.includes('/') || level === undefined) {
      faults.push(`${where} names no folder of src/ (write it as "<folder>/<file>")`);
    } else if (targetFolder === folder) {
      // its own folder
    } else if (level > own) {
      faults.push(`${where} runs up from ${folder}/ (floor ${own + 1}) to ${targetFolder}/ (floor ${level + 1})`);
    } else if (level === own) {
      faults.push(`${where} runs across from ${folder}/ to ${targetFolder}/, another sphere`);
    }
  });
  return faults;
}

function sourcesOf(root, dir = '') {
  return fs.readdirSync(path.join(root, dir), { withFileTypes: true }).flatMap((entry) => {
    const name = path.posix.join(dir, entry.name);
    if (entry.isDirectory()) return sourcesOf(root, name);
    return /\.(h|cc|inc)$/.test(entry.name) && dir !== '' ? [name] : [];
  });
}

function check(root = path.join(__dirname, '..', 'src')) {
  return sourcesOf(root).sort().flatMap((file) => faultsOf(root, file));
}

if (require.main === module) {
  const faults = check(process.argv[2]);
  for (const fault of faults) console.error(fault);
  if (faults.length > 0) {
    console.error(`floors: ${faults.length} include(s) out of place`);
    process.exit(1);
  }
  console.log('floors: every include of src/ stands on its floor');
}

module.exports = { check, floors };
