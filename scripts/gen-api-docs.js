'use strict';
// Writes the generated parts of docs/API.md from real runs: every example
// request goes to the module on the bundled simulator (reset before each, so
// every answer comes from its seed model) and its answer is written below it;
// the paging walkthrough runs its requests in sequence on one seed model;
// the error codes are read from error_codes.h, the error tags from the
// module's table (through the native program cifs_tables_json), each with
// the category the client gives it, and the simulator's statuses from its
// header.
// `--check` writes nothing and fails when the file differs from what it would
// write. Run through `npm run docs` (or with the environment npm test sets).
const fs = require('node:fs');
const path = require('node:path');
const { cifs } = require('../test/support/addon');
const sim = require('../test/support/sim');
const { SHARES, CONNECTIONS, CONTEXTS } = require('../lib/operations');
const { nativeTables } = require('./native-tables');
const { CODE_CATEGORIES, TAG_CATEGORIES } = require('../lib/errors');

const root = path.join(__dirname, '..');
const docPath = path.join(root, 'docs', 'API.md');
const dn = 'cn=admin,o=example';

const spheres = {
  shares: ['cifs_shares_sphere', SHARES],
  connections: ['cifs_connections_sphere', CONNECTIONS],
  contexts: ['cifs_contexts_sphere', CONTEXTS],
};

const pageKeys = (required) => [
  ['ignoreCount', 'number (u32)', required, 'entries skipped before the first returned; passed to the library as given'],
  ['returnCount', 'number (u32)', required, 'entries returned at most; passed to the library as given (the simulator reads 0 as no limit)'],
  ['cookie', 'string (at most 31 bytes)', 'no', 'the `cookie` of the previous page, to continue'],
  ['advancedFiltersInfo', 'object', 'no', '`{matchType: "all"|"any"|"none", filters: [{filterBy: "type"|"search-name", patterns: [...]}]}`, applied by the library'],
];
const shareConfigKeys = [
  ['name', 'string', 'yes', 'the share (to create, or to change)'],
  ['volumeName', 'string', 'yes', 'volume that holds the shared directory'],
  ['relativePath', 'string', 'yes', 'directory inside the volume'],
  ['encryption', '"enabled" | "disabled"', 'yes', ''],
  ['folderRedirection', '"enabled" | "disabled"', 'yes', ''],
  ['atmBackup', '"enabled" | "disabled"', 'yes', ''],
  ['comment', 'string', 'no', 'share comment'],
  ['newName', 'string', 'no', 'renames the share'],
];
const namesKey = (what) => [['names', 'string[]', 'yes', what]];
const nameKey = [['name', 'string', 'yes', 'the user name']];

// Per operation: keys beyond `operation` and `dn`, and the example requests.
const operations = [
  ['shares', 'FetchCIFSShares', 'Lists every share.', [], [{}]],
  ['shares', 'CreateCIFSShare', 'Creates a share on a directory of a volume.', shareConfigKeys,
    [{ name: 'media', volumeName: 'DATA', relativePath: 'media', comment: 'Media files', encryption: 'enabled', folderRedirection: 'disabled', atmBackup: 'disabled' }]],
  ['shares', 'ChangeCIFSShareConfiguration', 'Sets the whole configuration of a share, optionally renaming it.', shareConfigKeys,
    [{ name: 'projects', newName: 'work', volumeName: 'DATA', relativePath: 'projects', encryption: 'enabled', folderRedirection: 'enabled', atmBackup: 'disabled' }]],
  ['shares', 'ChangeCIFSShareFeatureConfiguration', 'Switches one feature on several shares: the first of `encryption`, `folderRedirection`, `atmBackup` present.',
    [['encryption | folderRedirection | atmBackup', '"enabled" | "disabled"', 'one of them', 'the feature to switch'], ...namesKey('the shares')],
    [{ encryption: 'enabled', names: ['projects', 'nosuch'] }]],
  ['shares', 'RemoveCIFSShare', 'Removes shares.', namesKey('the shares'), [{ names: ['projects', 'home'] }, { names: ['nosuch'] }]],
  ['shares', 'ListOpenFilesOfShare', 'One page of the open files of a share (named by its volume).',
    [['volumeName', 'string (at most 255 bytes)', 'yes', 'the volume whose open files are listed (every share of it), or a share\'s name, which the library maps to one (the bundled simulator lists the files open on that share alone)'], ...pageKeys('yes')],
    [{ volumeName: 'DATA', ignoreCount: 0, returnCount: 2 },
      { volumeName: 'DATA', ignoreCount: 0, returnCount: 0, advancedFiltersInfo: { matchType: 'any', filters: [{ filterBy: 'type', patterns: ['docx', 'pdf'] }] } }]],
  ['shares', 'CloseOpenFile', 'Closes open files, named by their full paths.', [['openFiles', 'string[]', 'yes', 'full paths']],
    [{ openFiles: ['/DATA/report.pdf', '/DATA/none.txt'] }]],
  ['shares', 'CloseAllOpenFilesOfShare', 'Closes every open file of a share.', [['volumeName', 'string', 'yes', 'the share or volume']],
    [{ volumeName: 'DATA' }]],
  ['connections', 'FetchCIFSConnectionsCount', 'The number of active connections.', [], [{}]],
  ['connections', 'FetchCIFSConnectionsList', 'The connections, filtered and paged by the module.',
    [['ignoreCount', 'number (u32)', 'yes', 'connections that pass the filters skipped first'],
      ['returnCount', 'number (u32)', 'yes', 'records of the library\'s list examined'],
      ['advancedFiltersInfo', 'object', 'no', '`filterBy` one of "connectionType", "status" (exact texts, case included), "name" (substring of the number), "totalBytesRead", "totalBytesWritten", "loginTime" (the last three take `[lo, hi]` pairs of decimal texts, 0 = open end)']],
    [{ ignoreCount: 0, returnCount: 10 },
      { ignoreCount: 0, returnCount: 10, advancedFiltersInfo: { matchType: 'all', filters: [{ filterBy: 'totalBytesRead', patterns: ['12kB', '0'] }] } }]],
  ['connections', 'FetchCIFSConnectionDetails', 'One connection with the security equivalences of its user.',
    [['connectionNumber', 'number (u32)', 'yes', 'the connection']], [{ connectionNumber: 1 }]],
  ['connections', 'FetchCIFSConnectionMappedShares', 'The shares a connection has mapped.',
    [['connectionNumber', 'number (u32)', 'yes', 'the connection']], [{ connectionNumber: 1 }]],
  ['connections', 'FetchCIFSConnectionOpenFiles', 'One page of the open files of a connection.',
    [['connection', 'number (u32)', 'no (0)', 'the connection number'], ...pageKeys('no (0)')],
    [{ connection: 1, ignoreCount: 0, returnCount: 10 }]],
  ['connections', 'FetchCIFSCachedInvalidUsersList', 'One page of the cached invalid and blocked users.', pageKeys('no (0)'),
    [{ ignoreCount: 0, returnCount: 10 }]],
  // Each with a success first, then a failure: a name already blocked, or none the cache holds.
  ['connections', 'AddPermanentInvalidUser', 'Adds a user as a permanent invalid user.', nameKey, [{ name: 'eve' }, { name: 'mallory' }]],
  ['connections', 'MakePermanentInvalidUser', 'Makes cached invalid users permanent.', namesKey('the user names'),
    [{ names: ['guest'] }, { names: ['eve', 'nobody'] }]],
  ['connections', 'RemoveInvalidUser', 'Removes users from the invalid users cache.', namesKey('the user names'),
    [{ names: ['jdoe'] }, { names: ['eve'] }]],
  ['connections', 'AddBlockedUser', 'Adds a blocked (permanent invalid) user.', nameKey, [{ name: 'eve' }, { name: 'mallory' }]],
  ['connections', 'MakeBlockedUser', 'Makes cached invalid users blocked.', namesKey('the user names'),
    [{ names: ['guest', 'jdoe'] }, { names: ['eve'] }]],
  ['connections', 'UnblockUser', 'Removes invalid or blocked users.', namesKey('the user names'),
    [{ names: ['mallory', 'nobody'] }, { names: ['eve'] }]],
  ['contexts', 'FetchCIFSUserContexts', 'Lists the user contexts.', [], [{}]],
  ['contexts', 'AddCIFSUserContext', 'Adds user contexts.', [['userContexts', 'string[]', 'yes', 'the contexts']],
    [{ userContexts: ['.sales.example', '.hr.example'] }]],
  ['contexts', 'RemoveCIFSUserContexts', 'Removes user contexts.', [['userContexts', 'string[]', 'yes', 'the contexts']],
    [{ userContexts: ['.users.org', '.nowhere.example'] }]],
];

// Requests that show the failure envelope and the refusals every operation shares.
const general = [
  ['A request without `dn` (shares and connections spheres)', 'shares', { operation: 1 }],
  ['A request without `dn` (contexts sphere)', 'contexts', { operation: 1 }],
  ['An unreadable `dn` is checked before the operation number', 'shares', { operation: 42 }],
  ['A request value that is not an object', 'shares', undefined],
  ['An unknown operation number (the call returns `undefined`, only logged)', 'shares', { operation: 9, dn }],
  ['A caller without supervisor rights', 'shares', { operation: 5, dn: 'cn=guest,o=example', names: ['projects'] }],
  ['A parser failure: the answer carries the operation\'s name', 'shares', { operation: 6, dn, ignoreCount: 0, returnCount: 1 }],
];

// JSON, each value on one line when it fits in 100 columns.
function json(value, indent = '') {
  const flat = JSON.stringify(value);
  if (value === null || typeof value !== 'object' || indent.length + flat.length <= 100) return flat;
  const inner = `${indent}  `;
  const items = Array.isArray(value)
    ? value.map((v) => `${inner}${json(v, inner)}`)
    : Object.entries(value).map(([k, v]) => `${inner}${JSON.stringify(k)}: ${json(v, inner)}`);
  return Array.isArray(value) ? `[\n${items.join(',\n')}\n${indent}]` : `{\n${items.join(',\n')}\n${indent}}`;
}
const fence = (lang, text) => `\`\`\`${lang}\n${text}\n\`\`\``;

async function call(sphere, request) {
  sim.reset();
  sim.identity.set({ dn: 'cn=guest,o=example', supervisor: false });
  const returned = cifs[spheres[sphere][0]](request);
  return returned === undefined ? undefined : { answer: await returned };
}

function showAnswer(result) {
  if (result === undefined) return 'The call returns `undefined`; no promise is made.';
  return `Answer:\n\n${fence('json', json(result.answer))}`;
}

// A table cell: the key in code, every bar escaped.
const cell = (text, i) => (i === 0 ? `\`${text}\`` : text).replaceAll('|', '\\|');

async function operationsSection() {
  const parts = [];
  for (const [sphere, name, summary, keys, examples] of operations) {
    const [fn, table] = spheres[sphere];
    parts.push(`### ${name} (\`${fn}\`, operation ${table[name]})\n\n${summary}`);
    parts.push(keys.length === 0 ? 'No keys beyond `operation` and `dn`.'
      : ['| key | type | required | meaning |', '|---|---|---|---|',
        ...keys.map((row) => `| ${row.map(cell).join(' | ')} |`)].join('\n'));
    for (const keysOfExample of examples) {
      const request = { operation: table[name], dn, ...keysOfExample };
      parts.push(`Request:\n\n${fence('js', `${fn}(${json(request)})`)}\n\n${showAnswer(await call(sphere, request))}`);
    }
  }
  return parts.join('\n\n');
}

async function generalSection() {
  const parts = [];
  for (const [title, sphere, request] of general) {
    const shown = request === undefined ? '' : json(request);
    parts.push(`**${title}.**\n\n${fence('js', `${spheres[sphere][0]}(${shown})`)}\n\n${showAnswer(await call(sphere, request))}`);
  }
  return parts.join('\n\n');
}

// ---------------------------------------------------------------- paging

const code = (value) => `\`${JSON.stringify(value)}\``;
const names = (list, key) => list.map((item) => item[key]).join(', ');

// The answer's page in a row: its count, cookie and what it lists, or the failure.
function pageRow(answer, key, list, item) {
  if (answer.status !== 'success') return [`failure, \`errorCode\` ${answer.error.errorCode}`, '', ''];
  const page = answer[key];
  return [String(page.count), code(page.cookie), names(page[list], item)];
}

// Requests in sequence on one seed model, as a caller pages: `next(answers)`
// gives the next request's keys from the answers so far.
async function sequence(sphere, steps) {
  sim.reset();
  const answers = [];
  for (const step of steps) {
    const keys = typeof step === 'function' ? step(answers) : step;
    answers.push({ keys, answer: await cifs[spheres[sphere][0]]({ operation: keys.operation, dn, ...keys.request }) });
  }
  return answers;
}

async function pagingSection() {
  const files = (request) => ({ operation: SHARES.ListOpenFilesOfShare, request: { volumeName: 'DATA', ...request } });
  const cookie = (answers, i) => answers[i].answer.openFiles.cookie;
  const pages = await sequence('shares', [
    files({ ignoreCount: 0, returnCount: 5 }),
    (a) => files({ ignoreCount: 0, returnCount: 5, cookie: cookie(a, 0) }),
    (a) => files({ ignoreCount: 0, returnCount: 5, cookie: cookie(a, 1) }),
    (a) => files({ ignoreCount: 2, returnCount: 5, cookie: cookie(a, 0) }),
    files({ ignoreCount: 0, returnCount: 5, cookie: 'ofc-999' }),
  ]);
  const idle = { matchType: 'all', filters: [{ filterBy: 'status', patterns: ['Idle'] }] };
  const listed = await sequence('connections', [
    { ignoreCount: 0, returnCount: 3 }, { ignoreCount: 1, returnCount: 5 }, { ignoreCount: 0, returnCount: 4294967295 },
  ].map((counts) => ({ operation: CONNECTIONS.FetchCIFSConnectionsList, request: { ...counts, advancedFiltersInfo: idle } })));
  const keysOf = ({ volumeName, advancedFiltersInfo, ...rest }) => Object.entries(rest).map(([k, v]) => `${k}: ${JSON.stringify(v)}`).join(', ');
  return [
    'The open files of `DATA` (`ListOpenFilesOfShare`, `volumeName` "DATA"), five at a time, each page with the cookie of the one before; then a cookie with an `ignoreCount`, and a cookie the simulator never issued:',
    '',
    '| request | `count` | `cookie` | files |',
    '|---|---|---|---|',
    ...pages.map(({ keys, answer }) => `| ${[keysOf(keys.request), ...pageRow(answer, 'openFiles', 'files', 'name')].join(' | ')} |`),
    '',
    'The connections whose `status` is "Idle" (connections 7 and 12 of five), with `advancedFiltersInfo` `{matchType: "all", filters: [{filterBy: "status", patterns: ["Idle"]}]}`:',
    '',
    '| request | `connectionNumber`s answered |',
    '|---|---|',
    ...listed.map(({ keys, answer }) => `| ${keysOf(keys.request)} | ${names(answer.connections, 'connectionNumber')} |`),
  ].join('\n');
}

// ---------------------------------------------------------------- statuses

// The statuses of the simulated libraries, with the comment that says when
// each is given, from the simulator's header.
function simulatorStatusesSection() {
  const source = fs.readFileSync(path.join(root, 'simulator', 'include', 'cifs_sim_status.h'), 'utf8');
  const rows = [...source.matchAll(/\b(CIFSSIM|TORALSIM)_(\w+) = (-?\d+),?[ \t]*(?:\/\*([\s\S]*?)\*\/)?/g)]
    .filter(([, , , value]) => value !== '0')
    .map(([, prefix, name, value, comment = '']) => {
      const library = prefix === 'CIFSSIM' ? '`libcifsmgmtclient.so`' : '`libtoral.so.0`';
      return [library, Number(value), name.toLowerCase().replaceAll('_', ' '), comment.replace(/\s+/g, ' ').trim()];
    })
    .sort((a, b) => a[0].localeCompare(b[0]) || a[1] - b[1]);
  if (rows.length === 0) throw new Error('no statuses found in simulator/include/cifs_sim_status.h');
  return ['| library | status | name | given for |', '|---|---|---|---|',
    ...rows.map((row) => `| ${row.map((text) => String(text).replaceAll('|', '\\|')).join(' | ')} |`)].join('\n');
}

// What each of the module's own codes means, by its name in error_codes.h.
const codeMeanings = {
  status_napi_string_failed: 'a Node-API string value could not be created',
  status_extract_failed: 'a request value could not be extracted (for example the request is not an object)',
  status_typeof_failed: 'the type of a request value could not be checked',
  status_string_convert_failed: 'a request string could not be converted (not a string, or it holds a NUL)',
  status_uint32_convert_failed: 'a request number could not be converted to an unsigned 32-bit number',
  status_int32_convert_failed: 'a request number could not be converted to a signed 32-bit number',
  status_queue_failed: 'the async work could not be queued',
  status_promise_failed: 'the promise could not be created',
  status_wrong_type: 'a request value has the wrong type',
  status_dn_missing: 'a required request key is missing (`dn` on the contexts sphere, `ignoreCount`, `returnCount`, `connectionNumber`)',
  status_out_of_memory: 'memory could not be allocated',
  status_invalid_value: 'a request value is not one of the accepted values (a feature value or key, a filter type), or a share name too long for the record',
  status_async_work_failed: 'the async worker could not be created',
  status_array_length_failed: 'the length of a request list could not be read, or the list has more than 65,535 entries',
  status_element_failed: 'an element of a request list could not be read',
  status_unicode_failed: 'the caller\'s DN could not be converted to UTF-16 for the identity lookup',
  status_not_supervisor: 'the caller has no supervisor rights',
  status_page_size_failed: 'the page size could not be determined',
  status_invalid_match_type: 'invalid advanced filter match type',
  status_library_not_loaded: 'the management library could not be loaded (or lacks the call the operation needs)',
  status_all_feature_changes_failed: 'the feature could not be changed on any of the shares',
  status_all_share_removals_failed: 'none of the shares could be removed',
  status_all_file_closes_failed: 'none of the files could be closed',
  status_does_not_fit: 'the request does not fit the library\'s fixed-size record (too many filters or patterns, a path too long); refused before anything is sent',
  status_pattern_count_short: 'a range filter of the connections list has fewer than 2 patterns',
  status_all_invalid_user_changes_failed: 'none of the users could be made permanent invalid or blocked users',
  status_all_invalid_user_removals_failed: 'none of the users could be removed or unblocked',
  status_all_context_removals_failed: 'none of the user contexts could be removed',
  status_all_context_adds_failed: 'none of the user contexts could be added',
  status_connection_number_too_large: 'a connection number above what the library\'s six-digit number text can carry',
};

function errorCodesSection() {
  const source = fs.readFileSync(path.join(root, 'src', 'base', 'error_codes.h'), 'utf8');
  const codes = [...source.matchAll(/inline constexpr uint32_t (status_\w+) = (\d+);/g)];
  const rows = codes.map(([, name, code]) => {
    if (!codeMeanings[name]) throw new Error(`error code ${name} (${code}) has no meaning in scripts/gen-api-docs.js`);
    return `| ${code} | ${codeMeanings[name]} | ${CODE_CATEGORIES.get(Number(code)) ?? 'none (lib/errors.js lacks it)'} |`;
  });
  const unknown = Object.keys(codeMeanings).filter((name) => !codes.some(([, n]) => n === name));
  if (unknown.length) throw new Error(`meanings of codes the module no longer has: ${unknown.join(', ')}`);
  return ['| errorCode | meaning | category |', '|---|---|---|', ...rows].join('\n');
}

// The tags an answer can carry, as the module's table gives them.
function errorTagsSection() {
  const rows = nativeTables().errorTags.map(({ tag, message }) =>
    `| \`${tag}\` | ${message.replace('%s', '…')} | ${TAG_CATEGORIES.get(tag) ?? 'none (lib/errors.js lacks it)'} |`);
  return ['| errorID | meaning | category beside a status passed through |', '|---|---|---|', ...rows].join('\n');
}

function replaceBlock(text, name, content) {
  const begin = `<!-- BEGIN GENERATED: ${name} -->`;
  const end = `<!-- END GENERATED: ${name} -->`;
  const from = text.indexOf(begin);
  const to = text.indexOf(end);
  if (from < 0 || to < from) throw new Error(`docs/API.md has no block ${name}`);
  return `${text.slice(0, from + begin.length)}\n${content}\n${text.slice(to)}`;
}

// The document as the module makes it now, from the document as it stands.
async function generate(text) {
  let out = replaceBlock(text, 'general', await generalSection());
  out = replaceBlock(out, 'paging', await pagingSection());
  out = replaceBlock(out, 'operations', await operationsSection());
  out = replaceBlock(out, 'simulator-statuses', simulatorStatusesSection());
  out = replaceBlock(out, 'error-codes', errorCodesSection());
  out = replaceBlock(out, 'error-tags', errorTagsSection());
  sim.reset();
  return out;
}

async function main() {
  const current = fs.readFileSync(docPath, 'utf8');
  const wanted = await generate(current);
  if (process.argv.includes('--check')) {
    if (wanted !== current) {
      console.error('docs/API.md differs from what the module answers: run "npm run docs"');
      process.exitCode = 1;
    }
    return;
  }
  fs.writeFileSync(docPath, wanted);
  console.log(`wrote ${path.relative(root, docPath)}`);
}

if (require.main === module) main();

module.exports = { generate, docPath };
