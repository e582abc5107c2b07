'use strict';
// The help texts of cifs-admin, made from the command table.
const { commands } = require('./commands');

const WARNING = `cifs-admin does not authenticate anyone. Each request carries the dn you give
(--dn DN, or the CIFS_DN environment variable) and the identity library decides
what that user may do. Use it only where you may already administer the server
locally.
`;

const COMMON = `Options of every command:
  --dn DN            the caller's distinguished name (default: $CIFS_DN)
  --json             print the answer as JSON (the default when stdout is not a terminal)
  --table            print an aligned table, times as ISO dates (the default on a terminal)
  --log-level LEVEL  the module's syslog level for this run: debug, info, warn or error
  --help             this command's help

Tables are coloured on a terminal unless NO_COLOR is set. Server texts are
escaped in both forms: neither a control character nor a format character
(such as U+202E, which shows a text backwards) reaches the terminal, and a
table cell whose spaces could pass for columns is quoted.

Exit status: 0 when the answer's status is "success", 1 when it is "failure"
(or \`shares change\` finds no share of that name, or --all meets a cut page
or a cookie that comes round again), 2 for a usage error, 3 when cifs.node
cannot be loaded or gives no answer.
`;

const usageLine = (c) => [...c.words, c.args, c.options ? '[OPTIONS]' : ''].filter(Boolean).join(' ');

function list(rows) {
  const width = Math.max(...rows.map(([left]) => left.length));
  return rows.map(([left, right]) => `  ${left.padEnd(width)}  ${right}`).join('\n') + '\n';
}

function general() {
  return `cifs-admin: administer the CIFS service through cifs.node, one request per run.

Usage: cifs-admin GROUP COMMAND [ARGS] [OPTIONS]

${WARNING}
Commands:
${list([
    ...commands.map((c) => [usageLine(c), c.summary]),
    ['log-level LEVEL', 'set the module\'s syslog level (in this process only)'],
    ['doctor', 'tell which platform library is missing and where the loader looked'],
    ['completion bash|zsh', 'print the shell completion script'],
  ])}
  --version  print the version of cifs-admin

${COMMON}`;
}

function group(name) {
  return `Usage: cifs-admin ${name} COMMAND [ARGS] [OPTIONS]\n\n${list(
    commands.filter((c) => c.words[0] === name).map((c) => [usageLine(c), c.summary]),
  )}\nEach command has its own --help.\n`;
}

function command(c) {
  const value = (name) => ({ filter: ' KEY=PATTERN', all: '' })[name] ?? ' VALUE';
  const options = Object.entries(c.options || {}).map(([name, text]) => [`--${name}${value(name)}`, text]);
  return `Usage: cifs-admin ${usageLine(c)}

${c.summary[0].toUpperCase()}${c.summary.slice(1)}: operation ${c.operation} of cifs_${c.sphere}_sphere.
${c.note ? `\n${c.note}\n` : ''}${options.length ? `\nOptions:\n${list(options)}` : ''}
${COMMON}
${WARNING}`;
}

const logLevel = () => `Usage: cifs-admin log-level LEVEL

Sets the module's syslog level (debug, info, warn or error) through
native_config_sphere. The level belongs to the process, so it only changes
what this run logs; to see the lines of a request, give --log-level with that
request and run it under bin/cifs-sim-run, which mirrors syslog to stderr.
`;

const doctor = () => `Usage: cifs-admin doctor

Tells which platform library (libtoral.so.0, libcifsmgmtclient.so) the loader
would find, and where it looked for one it cannot find. Exit status 0 when
both are found, 1 otherwise.
`;

const completion = () => `Usage: cifs-admin completion bash|zsh

Prints the completion script of the shell: commands, their options, and the
values of options that take few (log levels, enabled/disabled, match types).
  bash: eval "$(cifs-admin completion bash)" in ~/.bashrc
  zsh:  source <(cifs-admin completion zsh) in ~/.zshrc, after compinit
        (or save it as _cifs-admin in a folder of $fpath)
`;

module.exports = { general, group, command, usageLine, logLevel, doctor, completion };
