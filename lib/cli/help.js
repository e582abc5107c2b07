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
  --table            print an aligned table instead of the answer as JSON
  --log-level LEVEL  the module's syslog level for this run: debug, info, warn or error
  --help             this command's help

Exit status: 0 when the answer's status is "success", 1 when it is "failure",
2 for a usage error, 3 when cifs.node cannot be loaded or gives no answer.
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
  ])}
${COMMON}`;
}

function group(name) {
  return `Usage: cifs-admin ${name} COMMAND [ARGS] [OPTIONS]\n\n${list(
    commands.filter((c) => c.words[0] === name).map((c) => [usageLine(c), c.summary]),
  )}\nEach command has its own --help.\n`;
}

function command(c) {
  const options = Object.entries(c.options || {}).map(([name, text]) => [`--${name} ${name === 'filter' ? 'KEY=PATTERN' : 'VALUE'}`, text]);
  return `Usage: cifs-admin ${usageLine(c)}

${c.summary[0].toUpperCase()}${c.summary.slice(1)}: operation ${c.operation} of cifs_${c.sphere}_sphere.
${options.length ? `\nOptions:\n${list(options)}` : ''}
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

module.exports = { general, group, command, usageLine, logLevel, doctor };
