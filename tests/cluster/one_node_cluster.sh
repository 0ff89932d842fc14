# shellcheck shell=bash
# A private one-node Slurm cluster on 127.0.0.1 for a test, sourced by it: its own munge key and
# socket, its own configuration, state, spool, pid and log files in one temporary folder, its own
# ports. Nothing of a Slurm or munge already on the machine is used or disturbed; the daemons are
# stopped by their own PIDs (cluster_stop, which the test calls from its EXIT trap).
cluster_dir=
cluster_pids=()
# The daemons live in sbin, which an ordinary user's PATH may leave out.
PATH=$PATH:/usr/sbin:/sbin

# The Slurm and munge programs this needs; the missing ones, one line, empty when all are there.
cluster_missing() {
    local program missing=
    for program in munged mungekey slurmctld slurmd sbatch squeue scontrol scancel sinfo ss; do
        command -v "$program" >/dev/null || missing+=" $program"
    done
    echo "${missing# }"
}

# A TCP port nobody listens on, from a range above the usual ones.
free_port() {
    local port
    for port in $(shuf -i 20000-60000 -n 50); do
        [ "$port" != "${1:-}" ] || continue
        ss -Hltn "sport = :$port" | grep -q . || { echo "$port"; return 0; }
    done
    return 1
}

# True once a daemon has written its PID into FILE.
pid_written() { [ -s "$1" ]; }

# cluster_start: starts munged, slurmctld and slurmd and waits for the node to be idle; exports
# SLURM_CONF so that sbatch and the other commands of the test talk to this cluster only.
cluster_start() {
    cluster_dir=$(mktemp -d /tmp/lumenfold-cluster.XXXXXX)
    local c=$cluster_dir node ctld_port slurmd_port
    mkdir -p "$c/munge" "$c/state" "$c/spool" "$c/log" "$c/run"
    chmod 700 "$c/munge"
    mungekey --create --keyfile="$c/munge/key" >/dev/null 2>&1 || fail "mungekey could not make a key"
    munged --force --socket="$c/munge/socket" --key-file="$c/munge/key" \
        --pid-file="$c/munge/pid" --log-file="$c/log/munged.log" --seed-file="$c/munge/seed" ||
        fail "munged did not start: $(tail -3 "$c/log/munged.log" 2>/dev/null)"
    wait_for "munged writing its PID" pid_written "$c/munge/pid"
    cluster_pids+=("$(cat "$c/munge/pid")")

    node=$(hostname -s)
    ctld_port=$(free_port) || fail "no free TCP port"
    slurmd_port=$(free_port "$ctld_port") || fail "no second free TCP port"
    cat >"$c/slurm.conf" <<EOF
ClusterName=lumenfoldtest
SlurmctldHost=$node(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$c/munge/socket
SlurmUser=$(id -un)
SlurmdUser=$(id -un)
StateSaveLocation=$c/state
SlurmdSpoolDir=$c/spool
SlurmctldPidFile=$c/run/slurmctld.pid
SlurmdPidFile=$c/run/slurmd.pid
SlurmctldLogFile=$c/log/slurmctld.log
SlurmdLogFile=$c/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
KillWait=5
MinJobAge=300
NodeName=$node NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN
PartitionName=test Nodes=$node Default=YES MaxTime=INFINITE State=UP
EOF
    export SLURM_CONF=$c/slurm.conf
    slurmctld -i -f "$SLURM_CONF" || fail "slurmctld did not start: $(tail -3 "$c/log/slurmctld.log")"
    wait_for "slurmctld writing its PID" pid_written "$c/run/slurmctld.pid"
    cluster_pids+=("$(cat "$c/run/slurmctld.pid")")
    slurmd -f "$SLURM_CONF" -N "$node" || fail "slurmd did not start: $(tail -3 "$c/log/slurmd.log")"
    wait_for "slurmd writing its PID" pid_written "$c/run/slurmd.pid"
    cluster_pids+=("$(cat "$c/run/slurmd.pid")")
    wait_for "the node idle in sinfo" node_idle
}

node_idle() { sinfo -h -o %t 2>/dev/null | grep -qx idle; }

# Cancels every job of the cluster and waits for them to end (bounded), so that no job's process
# outlives it; then stops the daemons, each by the PID it wrote, and removes the folder.
cluster_stop() {
    local p deadline=$((SECONDS + 60))
    if [ -n "$cluster_dir" ] && [ ${#cluster_pids[@]} = 3 ]; then
        squeue -h -o %i | xargs -r scancel
        while [ -n "$(squeue -h -t running,completing -o %i 2>/dev/null)" ] && [ "$SECONDS" -lt "$deadline" ]; do
            sleep 0.2
        done
    fi
    # A daemon that started but was not yet counted (the test failed while waiting for it) is
    # found by its PID file, or by the private folder on its command line.
    if [ -n "$cluster_dir" ]; then
        for p in "$cluster_dir/munge/pid" "$cluster_dir/run/slurmctld.pid" "$cluster_dir/run/slurmd.pid"; do
            [ -s "$p" ] && cluster_pids+=("$(cat "$p")")
        done
        cluster_pids+=($(pgrep -f -- "$cluster_dir/" 2>/dev/null))
        cluster_pids=($(printf '%s\n' "${cluster_pids[@]}" | sort -un))
    fi
    for p in "${cluster_pids[@]}"; do kill "$p" 2>/dev/null; done
    deadline=$((SECONDS + 30))
    for p in "${cluster_pids[@]}"; do
        while kill -0 "$p" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
        kill -0 "$p" 2>/dev/null && kill -KILL "$p" 2>/dev/null
    done
    cluster_pids=()
    [ -n "$cluster_dir" ] && rm -rf "$cluster_dir"
    cluster_dir=
}
