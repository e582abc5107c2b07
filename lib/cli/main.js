'use strict';
// cifs-admin: one request to cifs.node per run, built from the command line,
// answered as JSON or as a table. Exit status: 0 "success", 1 "failure",
// 2 a usage error, 3 when the module cannot be loaded or gives no answer.
const path = require('node:path');
const { parseArgs } = require('node:util');
const { commands } = require('./commands');
const { UsageError } = require('./values');
const { render } = require('./output');
const { doctor: checkLibraries } = require('../doctor');
const help = require('./help');

const EXIT = { success: 0, failure: 1, usage: 2, unavailable: 3 };
const LEVELS = ['debug', 'info', 'warn', 'error'];

const GLOBAL_OPTIONS = {
  dn: { type: 'string' },
  table: { type: 'boolean' },
  help: { type: 'boolean', short: 'h' },
  'log-level': { type: 'string' },
};
// Every command's options are parsed together, then checked against the command.
const ALL_OPTIONS = { ...GLOBAL_OPTIONS, filter: { type: 'string', multiple: true } };
for (const c of commands) {
  for (const name of Object.keys(c.options || {})) ALL_OPTIONS[name] ??= { type: 'string' };
}

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
  if (!LEVELS.includes(String(level).toLowerCase())) {
    throw new UsageError(`the log level is one of ${LEVELS.join(', ')}, not '${level}'`);
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
}

function buildRequest(command, words, values, env) {
  checkOptions(command, values);
  const given = words.slice(2);
  if (given.length < (command.min || 0) || given.length > (command.max ?? (command.min ? Infinity : 0))) {
    throw new UsageError(`usage: cifs-admin ${help.usageLine(command)}`);
  }
  const dn = values.dn ?? env.CIFS_DN;
  if (!dn) throw new UsageError('no caller: give --dn DN or set CIFS_DN');
  return { operation: command.operation, dn, ...(command.request ? command.request(given, values) : {}) };
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

async function run(argv, { env = process.env, out = process.stdout, err = process.stderr } = {}) {
  const { values, positionals: words } = parseArgs({ args: argv, options: ALL_OPTIONS, allowPositionals: true });
  if (words.length === 0 || words[0] === 'help') return out.write(help.general()), EXIT.success;
  if (words[0] === 'doctor') return values.help ? (out.write(help.doctor()), EXIT.success) : doctor(out);
  if (words[0] === 'log-level') {
    if (values.help) return out.write(help.logLevel()), EXIT.success;
    if (words.length !== 2) throw new UsageError('usage: cifs-admin log-level LEVEL');
    const cifs = loaded(err);
    if (!cifs) return EXIT.unavailable;
    cifs.native_config_sphere({ logLevel: logLevel(words[1]) });
    out.write(`${JSON.stringify({ logLevel: words[1] })}\n`);
    return EXIT.success;
  }
  const command = findCommand(words);
  if (command.group) return out.write(help.group(command.group)), values.help ? EXIT.success : EXIT.usage;
  if (values.help) return out.write(help.command(command)), EXIT.success;
  const request = buildRequest(command, words, values, env);
  const cifs = loaded(err);
  if (!cifs) return EXIT.unavailable;
  if (values['log-level'] !== undefined) cifs.native_config_sphere({ logLevel: logLevel(values['log-level']) });
  const answer = await cifs[`cifs_${command.sphere}_sphere`](request);
  if (answer === undefined) {
    err.write(`cifs-admin: no answer: this cifs.node does not offer operation ${command.operation} of the ${command.sphere} sphere\n`);
    return EXIT.unavailable;
  }
  out.write(render(command, answer, values.table));
  return answer.status === 'success' ? EXIT.success : EXIT.failure;
}

async function main(argv) {
  try {
    process.exitCode = await run(argv);
  } catch (error) {
    if (!(error instanceof UsageError) && !String(error.code).startsWith('ERR_PARSE_ARGS')) throw error;
    process.stderr.write(`cifs-admin: ${error.message}\n`);
    process.exitCode = EXIT.usage;
  }
}

// The sphere and request that argv asks for, without sending it: what a
// dry run or a test needs.
function requestFor(argv, env = process.env) {
  const { values, positionals: words } = parseArgs({ args: argv, options: ALL_OPTIONS, allowPositionals: true });
  const command = findCommand(words);
  if (command.group) throw new UsageError(`no command of ${command.group} given`);
  return { sphere: `cifs_${command.sphere}_sphere`, request: buildRequest(command, words, values, env) };
}

module.exports = { main, run, requestFor };
