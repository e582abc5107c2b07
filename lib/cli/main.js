'use strict';
// cifs-admin: one request to cifs.node per run (two for `shares change`,
// which reads the share first; as many as there are pages with --all),
// made from the command line and sent through the client, so that it is
// checked as every client request is, answered as JSON or as a table. Exit status:
// 0 "success", 1 "failure", 2 a usage error, 3 when the module cannot be
// loaded or gives no answer.
const path = require('node:path');
const { parseArgs } = require('node:util');
const { commands } = require('./commands');
const { UsageError } = require('./values');
const { render, pageStream } = require('./output');
const { completion, SHELLS } = require('./completion');
const { doctor: checkLibraries } = require('../doctor');
const { SHARES, CONNECTIONS, CONTEXTS, LOG_LEVELS } = require('../operations');
const { pages, EVERY_RECORD } = require('../paging');
const { CifsError } = require('../errors');
const { createClient } = require('../client');
const { version } = require('../../package.json');
const help = require('./help');

const EXIT = { success: 0, failure: 1, usage: 2, unavailable: 3 };
const TABLES = { shares: SHARES, connections: CONNECTIONS, contexts: CONTEXTS };

const GLOBAL_OPTIONS = {
  dn: { type: 'string' },
  json: { type: 'boolean' },
  table: { type: 'boolean' },
  help: { type: 'boolean', short: 'h' },
  version: { type: 'boolean' },
  'log-level': { type: 'string' },
};
const FLAGS = new Set(['all']);
// Every command's options are parsed together, then checked against the command.
const ALL_OPTIONS = { ...GLOBAL_OPTIONS, filter: { type: 'string', multiple: true } };
for (const c of commands) {
  for (const name of Object.keys(c.options || {})) ALL_OPTIONS[name] ??= { type: FLAGS.has(name) ? 'boolean' : 'string' };
}

const operationName = (command) => Object.keys(TABLES[command.sphere]).find((n) => TABLES[command.sphere][n] === command.operation);

function loadModule() {
  const dir = process.env.CIFS_BUILD_DIR;
  return dir ? require(path.join(path.resolve(dir), 'cifs.node')) : require('../..');
}

// Which platform libraries the loader would find, and where it looked.
function doctor(out) {
  const report = checkLibraries();
  out.write(`${JSON.stringify(report, null, 2)}\n`);
  return report.ok ? EXIT.success : EXIT.failure;
}

function logLevel(level) {
  if (!LOG_LEVELS.includes(String(level).toLowerCase())) {
    throw new UsageError(`the log level is one of ${LOG_LEVELS.join(', ')}, not '${level}'`);
  }
  return level;
}

function findCommand(words) {
  const command = commands.find((c) => c.words[0] === words[0] && c.words[1] === words[1]);
  if (command) return command;
  const group = commands.filter((c) => c.words[0] === words[0]);
  if (group.length === 0) throw new UsageError(`unknown command '${words[0]}' (see cifs-admin --help)`);
  if (words.length < 2) return { group: words[0] };
  throw new UsageError(`unknown command '${words[0]} ${words[1]}' (see cifs-admin ${words[0]} --help)`);
}

function checkOptions(command, values) {
  const allowed = new Set([...Object.keys(GLOBAL_OPTIONS), ...Object.keys(command.options || {})]);
  for (const name of Object.keys(values)) {
    if (!allowed.has(name)) throw new UsageError(`${command.words.join(' ')} takes no --${name}`);
  }
  if (values.json && values.table) throw new UsageError('--json and --table exclude each other');
  // --all starts at the first entry and takes the cookies the pages give.
  const excluded = command.every ? ['ignore', 'return'] : ['ignore', 'cookie'];
  const clash = values.all && excluded.find((name) => values[name] !== undefined);
  if (clash) throw new UsageError(`--all takes no --${clash}`);
}

// The client method argv asks for and its arguments: {dn, call, args}.
function callFor(command, words, values, env) {
  checkOptions(command, values);
  const given = words.slice(2);
  if (given.length < (command.min || 0) || given.length > (command.max ?? (command.min ? Infinity : 0))) {
    throw new UsageError(`usage: cifs-admin ${help.usageLine(command)}`);
  }
  const dn = values.dn ?? env.CIFS_DN;
  if (!dn) throw new UsageError('no caller: give --dn DN or set CIFS_DN');
  const args = command.make(given, values);
  if (values.all && command.every) Object.assign(args[0], { ignoreCount: 0, returnCount: EVERY_RECORD });
  return { dn, args };
}

// The client's method of `command`.
const methodOf = (client, command) => client[command.call[0]][command.call[1]];

// What the client refused is the command line's mistake: a usage error.
const CALLER_MISTAKES = new Set(['ERR_INVALID_ARG_TYPE', 'ERR_INVALID_ARG_VALUE', 'ERR_OUT_OF_RANGE']);

// Every page of a listing, written as it comes (output.js, pageStream): the
// exit status. Each page is the command's call with the cookie of the page
// before. A failure on the way ends it with the items so far and the
// failure; so does a page that holds fewer records than its count, or a
// library that sends the listing round in circles (said on stderr too).
async function everyPage(client, command, args, out, err, style) {
  const { key, items } = command.listing;
  const stream = pageStream(command, operationName(command), out, style);
  const method = methodOf(client, command);
  const page = (cookie) => method(...args.slice(0, -1), { ...args.at(-1), ...(cookie === undefined ? {} : { cookie }) });
  try {
    for await (const each of pages(page, key, items)) {
      // A reader slower than the library holds the next page back, not memory.
      if (!stream.page(each) && typeof out.once === 'function') await new Promise((resolve) => out.once('drain', resolve));
    }
  } catch (error) {
    if (error instanceof CifsError) return stream.fail(error.answer);
    if (error.code !== 'ERR_CIFS_PAGING' && error.code !== 'ERR_CIFS_NO_RESULT') throw error;
    err.write(`cifs-admin: ${error.message}\n`);
    return stream.fail(undefined, error);
  }
  return stream.end();
}

function loaded(err) {
  try {
    return loadModule();
  } catch (error) {
    err.write(`cifs-admin: cannot load cifs.node: ${error.message}\n`);
    const { libraries, searched } = checkLibraries();
    const looked = [...searched.LD_LIBRARY_PATH.map((d) => `${d} (LD_LIBRARY_PATH${d === '.' ? ': the current folder' : ''})`),
      'the loader cache (ldconfig -p)',
      ...searched.defaultDirs].join(', ');
    for (const l of libraries) {
      err.write(`  ${l.name}: ${l.found ? `found at ${l.path}` : `missing (looked in ${looked})`}\n`);
    }
    return null;
  }
}

// JSON when asked or when stdout is no terminal; colour only on a terminal
// and never with NO_COLOR set (https://no-color.org).
function styleOf(values, out, env) {
  const table = Boolean(values.table || (!values.json && out.isTTY));
  return { table, colour: table && Boolean(out.isTTY) && !env.NO_COLOR };
}

function tool(words, values, out, err) {
  if (words[0] === 'completion') {
    if (values.help) return out.write(help.completion()), EXIT.success;
    if (words.length !== 2 || !SHELLS.includes(words[1])) throw new UsageError(`usage: cifs-admin completion ${SHELLS.join('|')}`);
    return out.write(completion(words[1])), EXIT.success;
  }
  if (words[0] === 'doctor') return values.help ? (out.write(help.doctor()), EXIT.success) : doctor(out);
  if (values.help) return out.write(help.logLevel()), EXIT.success;
  if (words.length !== 2) throw new UsageError('usage: cifs-admin log-level LEVEL');
  const cifs = loaded(err);
  if (!cifs) return EXIT.unavailable;
  cifs.native_config_sphere({ logLevel: logLevel(words[1]) });
  out.write(`${JSON.stringify({ logLevel: words[1] })}\n`);
  return EXIT.success;
}

// `module` stands in for cifs.node (the object with its four functions).
async function run(argv, { env = process.env, out = process.stdout, err = process.stderr, module } = {}) {
  const { values, positionals: words } = parseArgs({ args: argv, options: ALL_OPTIONS, allowPositionals: true });
  if (values.version) return out.write(`cifs-admin ${version}\n`), EXIT.success;
  if (words.length === 0 || words[0] === 'help') return out.write(help.general()), EXIT.success;
  if (['completion', 'doctor', 'log-level'].includes(words[0])) return tool(words, values, out, err);
  const command = findCommand(words);
  if (command.group) return out.write(help.group(command.group)), values.help ? EXIT.success : EXIT.usage;
  if (values.help) return out.write(help.command(command)), EXIT.success;
  const { dn, args } = callFor(command, words, values, env);
  const cifs = module || loaded(err);
  if (!cifs) return EXIT.unavailable;
  if (values['log-level'] !== undefined) cifs.native_config_sphere({ logLevel: logLevel(values['log-level']) });
  const style = styleOf(values, out, env);
  let answer;
  try {
    const client = createClient({ dn, module: cifs });
    if (values.all && command.listing) return await everyPage(client, command, args, out, err, style);
    answer = await methodOf(client, command)(...args);
  } catch (error) {
    if (CALLER_MISTAKES.has(error.code)) throw new UsageError(error.message);
    if (!['ERR_CIFS_NO_ANSWER', 'ERR_CIFS_NO_RESULT', 'ERR_CIFS_NO_SUCH_SHARE'].includes(error.code)) throw error;
    err.write(`cifs-admin: ${error.message}${error.code === 'ERR_CIFS_NO_SUCH_SHARE' ? ' (cifs-admin shares list shows them)' : ''}\n`);
    return error.code === 'ERR_CIFS_NO_ANSWER' ? EXIT.unavailable : EXIT.failure;
  }
  out.write(render(command, answer, style));
  return answer.status === 'success' ? EXIT.success : EXIT.failure;
}

async function main(argv) {
  // A reader that stops early (`| head`) ends the run as it would end `cat`.
  process.stdout.on('error', (error) => {
    if (error.code !== 'EPIPE') throw error;
    process.exit(process.exitCode ?? 0);
  });
  try {
    process.exitCode = await run(argv);
  } catch (error) {
    if (!(error instanceof UsageError) && !String(error.code).startsWith('ERR_PARSE_ARGS')) throw error;
    process.stderr.write(`cifs-admin: ${error.message}\n`);
    process.exitCode = EXIT.usage;
  }
}

// The sphere and request that argv asks for, sent to a stand-in module
// that only records it: what a dry run or a test needs. A command that
// reads something first (`shares change`) is given `current` (the share as
// listed; null, no share) as that reading's answer.
async function requestFor(argv, env = process.env, current = null) {
  const { values, positionals: words } = parseArgs({ args: argv, options: ALL_OPTIONS, allowPositionals: true });
  const command = findCommand(words);
  if (command.group) throw new UsageError(`no command of ${command.group} given`);
  const { dn, args } = callFor(command, words, values, env);
  return new Promise((resolve, reject) => {
    const recorder = (sphere) => (request) => {
      if (command.reads && request.operation === SHARES.FetchCIFSShares) {
        return Promise.resolve({ status: 'success', operation: 'FetchCIFSShares', shares: current ? [current] : [] });
      }
      resolve({ sphere, request: JSON.parse(JSON.stringify(request)) });
      return new Promise(() => {});
    };
    const module = { native_config_sphere() {} };
    for (const sphere of ['shares', 'connections', 'contexts']) module[`cifs_${sphere}_sphere`] = recorder(`cifs_${sphere}_sphere`);
    methodOf(createClient({ dn, module }), command)(...args).catch(reject);
  });
}

module.exports = { main, run, requestFor };
