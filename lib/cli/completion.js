'use strict';
// Shell completion scripts for cifs-admin, made from the command table so
// they never list a command or option it does not have: the group, the
// command, the options of that command, and the values of the options and
// words that take only a few.
const { commands, SHARE_FEATURES } = require('./commands');
const { LOG_LEVELS } = require('../operations');

const SHELLS = ['bash', 'zsh'];
const GLOBAL = ['--dn', '--json', '--table', '--log-level', '--help'];
const TOOLS = { 'log-level': LOG_LEVELS, completion: SHELLS, doctor: [], help: [] };
// Options whose values are few enough to offer.
const VALUES = {
  '--match': ['all', 'any', 'none'],
  '--encryption': ['enabled', 'disabled'],
  '--folder-redirection': ['enabled', 'disabled'],
  '--atm-backup': ['enabled', 'disabled'],
  '--log-level': LOG_LEVELS,
};

const FEATURES = Object.keys(SHARE_FEATURES).join(' ');
const groups = () => [...new Set(commands.map((c) => c.words[0]))];
const optionsOf = (c) => [...Object.keys(c.options || {}).map((o) => `--${o}`), ...GLOBAL].join(' ');
// Words of a shell `case` pattern and list, which the command table keeps plain.
const list = (words) => words.join(' ');

function bash() {
  const second = groups().map((g) => `      ${g}) words="${list(commands.filter((c) => c.words[0] === g).map((c) => c.words[1]))}" ;;`);
  const tools = Object.entries(TOOLS).map(([t, w]) => `      ${t}) words="${list(w)}" ;;`);
  const options = commands.map((c) => `    "${c.words.join(' ')}") words="${optionsOf(c)}" ;;`);
  const values = Object.entries(VALUES).map(([o, w]) => `    ${o}) COMPREPLY=($(compgen -W "${list(w)}" -- "$cur")); return ;;`);
  return `# cifs-admin completion for bash: eval "$(cifs-admin completion bash)" in ~/.bashrc
_cifs_admin() {
  local cur=\${COMP_WORDS[COMP_CWORD]} prev=\${COMP_WORDS[COMP_CWORD-1]} words=""
  case "$prev" in
${values.join('\n')}
  esac
  if [ "$COMP_CWORD" -eq 1 ]; then
    words="${list([...groups(), ...Object.keys(TOOLS)])} --version --help"
  elif [ "$COMP_CWORD" -eq 2 ]; then
    case "\${COMP_WORDS[1]}" in
${second.join('\n')}
${tools.join('\n')}
    esac
  elif [ "$COMP_CWORD" -eq 3 ]; then
    case "\${COMP_WORDS[1]} \${COMP_WORDS[2]}" in
      "shares enable"|"shares disable") words="${FEATURES}" ;;
    esac
  fi
  if [ "$COMP_CWORD" -ge 2 ] && [[ "$cur" == -* ]]; then
    case "\${COMP_WORDS[1]} \${COMP_WORDS[2]}" in
${options.join('\n')}
    esac
  fi
  COMPREPLY=($(compgen -W "$words" -- "$cur"))
}
complete -F _cifs_admin cifs-admin
`;
}

function zsh() {
  const second = groups().map((g) => `        ${g}) compadd -- ${list(commands.filter((c) => c.words[0] === g).map((c) => c.words[1]))} ;;`);
  const tools = Object.entries(TOOLS).filter(([, w]) => w.length).map(([t, w]) => `        ${t}) compadd -- ${list(w)} ;;`);
  const options = commands.map((c) => `        "${c.words.join(' ')}") compadd -- ${optionsOf(c)} ;;`);
  const values = Object.entries(VALUES).map(([o, w]) => `    ${o}) compadd -- ${list(w)}; return ;;`);
  return `#compdef cifs-admin
# cifs-admin completion for zsh: source <(cifs-admin completion zsh) in ~/.zshrc
# after compinit, or save it as _cifs-admin in a folder of $fpath.
_cifs_admin() {
  case "$words[CURRENT-1]" in
${values.join('\n')}
  esac
  if (( CURRENT == 2 )); then
    compadd -- ${list([...groups(), ...Object.keys(TOOLS)])} --version --help
  elif (( CURRENT == 3 )) && [[ $PREFIX != -* ]]; then
    case "$words[2]" in
${second.join('\n')}
${tools.join('\n')}
    esac
  elif (( CURRENT == 4 )) && [[ "$words[2] $words[3]" == "shares enable" || "$words[2] $words[3]" == "shares disable" ]]; then
    compadd -- ${FEATURES}
  elif [[ $PREFIX == -* ]]; then
    case "$words[2] $words[3]" in
${options.join('\n')}
    esac
  fi
}
if [[ $funcstack[1] == _cifs_admin || $funcstack[1] == _cifs-admin ]]; then
  _cifs_admin "$@"
else
  compdef _cifs_admin cifs-admin
fi
`;
}

const completion = (shell) => (shell === 'bash' ? bash() : zsh());

module.exports = { completion, SHELLS };
